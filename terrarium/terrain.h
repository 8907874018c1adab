// The terrain generator: water and mountains from a random height field.
#pragma once

namespace terrarium {

// Writes '~' and '#' into the blank pad, counts wtr_c and mnt_c, and
// refuses (through stop_with) a world with too little open ground.
void generateterrain();

}  // namespace terrarium

// The terrain generator: water and mountains from a random height field.
#pragma once

namespace terrarium {

// Writes '~' and '#' into the blank pad, counts wtr_c and mnt_c, and
// refuses (through stop_with) a world with too little open ground.
void generateterrain();

// A world is accepted when more than a tenth of its cells are open ground.
bool enough_ground(long long area, long long water, long long mountain);

}  // namespace terrarium

// The terrain generator: water and mountains from a random height field.
#pragma once

#include "terrarium/world.h"

namespace terrarium {

// Writes '~' and '#' into the blank map, counts the water and mountain cells, and
// refuses a world with too little open ground (end_world: bad_terrain).
void generateterrain(world &w);

// A world is accepted when more than a tenth of its cells are open ground.
bool enough_ground(long long area, long long water, long long mountain);

}  // namespace terrarium

// The terrain generator: water and mountains from a height field refined
// in fixed integer steps.
#pragma once

#include "vivarium/world.h"

namespace vivarium {

// Seed spacing of the height field; the map's size is one more than a
// multiple of it, so the last row and column are seed lines.
constexpr int SEED_SPACING = 8;

// Offset of a refined height at level k for the random value r:
// uniform over -2k to +2k.
int displacement(int r, int k);

// The glyph of a height: water up to 19, mountain from 81, else ground.
char terrain_glyph(int height);

// Writes '~' and '#' into the blank map. Every world is accepted.
void generateterrain(world &w);

}  // namespace vivarium

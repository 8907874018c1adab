// Start-up, seeding and shutdown of vivarium.
#pragma once

#include "common/rules.h"
#include "vivarium/world.h"

namespace vivarium {

// What the log says of the run: the program, without options.
common::run_description describe(const world &w);

// What -h and --help print.
extern const char usage[];

// Map cells along a screen dimension of `screen` cells: ten times it,
// rounded down to a multiple of 8, plus 9 (so always 8n + 1).
int world_extent(int screen);

// Plans the map from the world's screen, once per run.
void world_size(world &w);

// Terrain, food, bugs and the ring on the new map; every reference on the
// first bug created and `population` counts them. Refuses bugs that cannot
// be had.
void start(world &w);

}  // namespace vivarium

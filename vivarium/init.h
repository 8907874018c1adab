// Start-up, seeding and shutdown of vivarium.
#pragma once

#include "common/headless.h"

namespace vivarium {

// What the log says of the run: the program, without options.
common::run_description describe();

// What -h and --help print.
extern const char usage[];

// Reads the environment, opens the user's terminal and builds the world:
// the program's start-up. The command line plays no part.
void init();

// Map cells along a screen dimension of `screen` cells: ten times it,
// rounded down to a multiple of 8, plus 9 (so always 8n + 1).
int world_extent(int screen);

// Sets world_row and world_col from the screen size, once per run.
void set_world_size();

// Terrain, food, bugs and the ring on the new map; bugs points at the
// first bug created and `population` counts them. Refuses bugs that
// cannot be had.
void start();

// Frees every bug and the map, clears the bug pointers and the
// population, for tests and tools that build several worlds in one process.
void free_world();

// The program without a terminal, for the tools and the tests.
extern const common::headless_program headless;

}  // namespace vivarium

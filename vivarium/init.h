// Start-up, seeding and shutdown of vivarium.
#pragma once

namespace vivarium {

// Opens the user's terminal and builds the world: the program's start-up.
// The command line plays no part.
void init();

// Map cells along a screen dimension of `screen` cells: ten times it,
// rounded down to a multiple of 8, plus 9 (so always 8n + 1).
int world_extent(int screen);

// Sets world_row and world_col from the screen size, once per run.
void set_world_size();

// Seeds the random generator, creates the map, clears the screen and
// calls start. Refuses a map or a bug that cannot be had.
void build_world(unsigned seed);

// Terrain, food, bugs and the ring; bugs points at the first bug created
// and `population` counts them.
void start();

// Frees every bug and the map, clears the bug pointers and the
// population, for tests and tools that build several worlds in one process.
void free_world();

}  // namespace vivarium

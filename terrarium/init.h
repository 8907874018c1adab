// Start-up, seeding and shutdown of terrarium.
#pragma once

namespace terrarium {

// The option part of main: sets world_size, roughness and grid_size from
// the command line. Returns 0 when the options are good; otherwise the
// exit status, with *message set to the line to print.
int parse_options(int argc, const char *const argv[], const char **message);

// Opens the user's terminal and builds the world: the program's start-up.
void init();

// Sets world_col and world_row from the screen size and world_size;
// refuses a world of fewer than 100 cells.
void set_world_size();

// Seeds the random generator, creates the pad, clears the screen and
// calls start. Refuses a pad or a bug that cannot be had.
void build_world(unsigned seed);

// Terrain, food, bugs and the ring; bugs points at the first bug created.
void start();

// The orderly end: status 0.
[[noreturn]] void stop();
// The end of a refused start or a failed lookup, with its message.
[[noreturn]] void stop_with(int status, const char *message);

// Frees every bug and the pad and clears the bug pointers, for tests and
// tools that build several worlds in one process.
void free_world();

}  // namespace terrarium

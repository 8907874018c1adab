// Start-up, seeding and shutdown of terrarium.
#pragma once

#include "common/headless.h"
#include "common/usage.h"

namespace terrarium {

// The world's shape as the command line gives it, or a request for the
// usage text or the version instead of a run.
struct options {
    float world_size = 2.0f;
    int roughness = 150;
    int grid_size = 4;
    common::request asked = common::request::run;
};

// What -h and --help print.
extern const char usage[];

// Reads the command line into *chosen (from the defaults). -h, --help or
// --version in the place of an option ends the reading there. Returns 0
// when the options are good; otherwise the exit status, with *message set
// to the lines to print.
int parse_options(int argc, const char *const argv[], options *chosen, const char **message);

// Makes the options those of the world: world_size, roughness, grid_size.
void apply_options(const options &chosen);

// What the log says of the run: the program and the options in force.
common::run_description describe();

// Reads the environment, opens the user's terminal and builds the world:
// the program's start-up.
void init();

// Sets world_col and world_row from the screen size and world_size;
// refuses a world of fewer than 100 cells, saying which -s would do.
void set_world_size();

// Terrain, food, bugs and the ring on the new map; bugs points at the
// first bug created. Refuses a world without enough open ground, or
// bugs that cannot be had.
void start();

// Frees every bug and the map and clears the bug pointers, for tests and
// tools that build several worlds in one process.
void free_world();

// The program without a terminal, for the tools and the tests.
extern const common::headless_program headless;

}  // namespace terrarium

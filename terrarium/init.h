// Start-up, seeding and shutdown of terrarium.
#pragma once

#include "common/rules.h"
#include "terrarium/world.h"

namespace terrarium {

// What -h and --help print.
extern const char usage[];

// Reads the command line into *chosen (from the defaults). -h, --help or
// --version in the place of an option ends the reading there. Returns 0
// when the options are good; otherwise the exit status, with *message set
// to the lines to print.
int parse_options(int argc, const char *const argv[], options *chosen, const char **message);

// What the log says of the run: the program and the options in force.
common::run_description describe(const world &w);

// Plans the map from the world's screen and world size; refuses a world
// of fewer than 100 cells, saying which -s would do.
void world_size(world &w);

// Terrain, food, bugs and the ring on the new map; every reference on the
// first bug created. Refuses a world without enough open ground, or bugs
// that cannot be had.
void start(world &w);

}  // namespace terrarium

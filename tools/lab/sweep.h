// A sweep: many headless worlds, one process each, every run logged.
#pragma once

#include <string>
#include <vector>

#include "common/headless.h"
#include "terrarium/init.h"

namespace lab {

// One combination of the swept options, named for its directory, such
// as "s1-r150-g4" (vivarium, without options: "vivarium").
struct setting {
    std::string name;
    terrarium::options chosen;  // vivarium's: the defaults, unused
};

struct sweep {
    const common::headless_program *program = nullptr;
    std::vector<unsigned> seeds;
    long passes = 0;
    int lines = 24, cols = 80;
    std::vector<setting> settings;
    std::string out;
    int jobs = 1;
    bool summary = true;
    bool add = false;  // runs may join another sweep's of the same kind in `out`
};

// Reads the sweep's arguments (argv[0] is the first option); false with
// *why set on a bad one.
bool parse_sweep(int argc, char *argv[], sweep *s, std::string *why);

// Runs every setting with every seed, `jobs` worlds at once, each logged
// to out/SETTING/seedN.csv and listed in out/manifest, with a progress
// report; then the summary.
// Returns the exit status.
int run_sweep(const sweep &s);

}  // namespace lab

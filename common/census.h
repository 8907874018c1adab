// What a run is and what its world adds up to at a moment, as the rules
// give them to whoever records the run (the log, the statistics).
#pragma once

#include <string>

namespace common {

// What every bug of the world adds up to, for one row.
struct census {
    long population;
    int races;                      // races with a living bug
    long long food, age, gen, size; // averages over every bug, truncated
    long long vision;               // terrarium only
    int letters[26];                // bugs of races 'A' to 'Z'
    int others;                     // bugs of any other race byte
};

// What the first lines of a log say of a run, besides its seed and sizes.
struct run_description {
    const char *program;
    std::string options;  // as a command line gives them; empty for none
    bool vision;          // whether the rows have a vision column
    std::string resumed;  // a resumed run: resumed_from(...), said instead of its seed
    std::string branched{}; // a run from a copy of a saved world: resumed_from(...), said after its seed
};

}  // namespace common

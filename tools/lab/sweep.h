// A sweep: many headless worlds, run one after another in each of a few
// worker processes, every run logged.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "storage/headless.h"
#include "terrarium/init.h"

namespace lab {

// One combination of the swept options, named for its directory, such
// as "s1-r150-g4" (vivarium, without options: "vivarium").
struct setting {
    std::string name;
    terrarium::options chosen;  // vivarium's: the defaults, unused
};

struct sweep {
    const common::rules *program = nullptr;
    std::vector<unsigned> seeds;
    long passes = 0;
    int lines = 24, cols = 80;
    std::vector<setting> settings;
    std::string out;
    int jobs = 1;
    bool summary = true;
    bool add = false;  // runs may join another sweep's of the same kind in `out`
    bool lineage = false;  // each run's genealogy beside its log (seedN.lineage.csv)
    long share = 1, shares = 1;  // runs only the share-th of `shares` shares of the runs
    long every = 1;              // the logs' rows: every every-th pass's, the first and last always
    // A sweep branched from a world file: every run starts from `saved`,
    // its generator reseeded with the run's seed. Each run changes a
    // copy of its own.
    bool branched = false;
    std::string from;
    std::shared_ptr<common::world_base> saved;
    common::run_state resumed;  // how the world was running when saved
};

// The sweep's command line as given, before its values are checked
// together.
struct sweep_arguments {
    std::string program;                       // empty when not given: terrarium
    std::string lists[3] = {"2", "150", "4"};  // -s, -r and -g
    bool swept = false;                        // any of them given
    std::vector<unsigned> seeds;
    long passes = 0, lines = 0, cols = 0, jobs = 1;  // lines and cols 0 when not given: 24 x 80
    std::string from;
    bool branched = false;  // --from given
    std::string out;
    bool no_summary = false, add = false, lineage = false;
    long share = 1, shares = 1;
    long every = 1;
};

// The sweep's options, read into *given.
void add_sweep_options(CLI::App &app, sweep_arguments *given);

// The sweep of the arguments; false with *why set when they do not go
// together or a value of -s, -r or -g is bad. A sweep --from a file is
// made whole by branch_from.
bool make_sweep(const sweep_arguments &given, sweep *s, std::string *why);

// Reads the world file of --from once, for every run to start from: its
// program, options and screen are the sweep's. 0; or, with one line in
// *why, the file's refusal (common::EXIT_BAD_WORLD_FILE,
// common::EXIT_WORLD_TOO_LARGE), or tools::BAD_COMMAND_LINE when --program
// names another program than the file's.
int branch_from(const sweep_arguments &given, sweep *s, std::string *why);

// Whether run `index` (counted from 0, settings outer, seeds inner) is in
// share K of N: every N-th run, from the K-th on.
inline bool in_share(size_t index, long share, long shares)
{
    return static_cast<long>(index % static_cast<size_t>(shares)) == share - 1;
}

// Runs every setting with every seed (those of its share), in at most
// `jobs` worker processes, each world logged to out/SETTING/seedN.csv and
// listed in out/manifest, with a progress report; then the summary.
// Returns the exit status.
int run_sweep(const sweep &s);

}  // namespace lab

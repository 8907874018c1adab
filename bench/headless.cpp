#include "bench/headless.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/resource.h>

#include "storage/headless.h"
#include "terrarium/rules.h"

namespace {

std::unique_ptr<terrarium::world> current;

}  // namespace

terrarium::world &terrarium_world(unsigned seed, int lines, int cols, float size)
{
    common::headless_hooks();
    terrarium::options chosen;
    chosen.world_size = size;
    current.reset();
    current = std::make_unique<terrarium::world>(chosen);
    common::start_seeded(*current, terrarium::world_rules, seed, lines, cols);
    must_run(*current);
    return *current;
}

long run_passes(long passes)
{
    long turns = 0;
    common::run_passes(*current, terrarium::world_rules, passes, &turns);
    must_run(*current);
    return turns;
}

void must_run(const common::world_base &w)
{
    if (w.outcome == common::outcome::running)
        return;
    std::fputs(w.outcome_message.c_str(), stderr);
    std::exit(common::exit_status(w.outcome) == 0 ? 1 : common::exit_status(w.outcome));
}

double peak_rss_mb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

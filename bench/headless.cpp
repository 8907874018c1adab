#include "bench/headless.h"

#include <memory>
#include <sys/resource.h>

#include "common/headless.h"
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
    return *current;
}

long run_passes(long passes) { return common::run_passes(*current, terrarium::world_rules, passes); }

double peak_rss_mb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

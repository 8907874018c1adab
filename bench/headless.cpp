#include "bench/headless.h"

#include <sys/resource.h>

#include "common/headless.h"
#include "common/loop.h"
#include "terrarium/init.h"
#include "vivarium/init.h"

void terrarium_world(unsigned seed, int lines, int cols, float size)
{
    common::forget(terrarium::headless);
    common::forget(vivarium::headless);
    if (!common::headless_screen(lines, cols))
        throw common::stopped{-1, "no null terminal"};
    terrarium::options chosen;
    chosen.world_size = size;
    terrarium::apply_options(chosen);
    common::start_seeded(terrarium::headless, seed);
}

long run_passes(long passes) { return common::run_passes(passes); }

double peak_rss_mb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

#include "bench/headless.h"

#include <sys/resource.h>

#include "common/headless.h"
#include "common/loop.h"
#include "terrarium/headless.h"
#include "terrarium/init.h"
#include "vivarium/headless.h"

void terrarium_world(unsigned seed, int lines, int cols, float size)
{
    terrarium::forget();
    vivarium::forget();
    if (!common::headless_screen(lines, cols))
        throw common::stopped{-1, "no null terminal"};
    terrarium::options chosen;
    chosen.world_size = size;
    terrarium::apply_options(chosen);
    terrarium::start_seeded(seed);
}

long run_passes(long passes) { return common::run_passes(passes); }

double peak_rss_mb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

#include "bench/headless.h"

#include <sys/resource.h>

#include "common/loop.h"
#include "common/term.h"
#include "terrarium/driver.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "vivarium/init.h"

namespace {

[[noreturn]] void throw_stop(int status, const char *) { throw bench_stop{status}; }

}  // namespace

void headless_screen(int lines, int cols)
{
    terrarium::free_world();
    vivarium::free_world();
    if (common::status_win != nullptr) {
        delwin(common::status_win);
        common::status_win = nullptr;
    }
    if (!open_null_terminal(lines, cols))
        throw bench_stop{-1};
    stop_hook = throw_stop;
    sleep_seconds = [](unsigned) {};
    sleep_micros = [](useconds_t) {};
}

void terrarium_world(unsigned seed, int lines, int cols, float size)
{
    headless_screen(lines, cols);
    terrarium::world_size = size;
    terrarium::roughness = 150;
    terrarium::grid_size = 4;
    terrarium::set_world_size();
    terrarium::build_world(seed);
    terrarium::enter_loop();
}

long terrarium_passes(long passes)
{
    return common::run_passes(terrarium::bugs, terrarium::first, terrarium::loop_step, passes);
}

long terrarium_bugs()
{
    using terrarium::bugs;
    if (bugs == nullptr)
        return 0;
    long n = 0;
    const terrarium::bug *b = bugs;
    do {
        n++;
        b = b->next;
    } while (b != bugs);
    return n;
}

double peak_rss_mb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

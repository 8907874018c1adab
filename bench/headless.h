// Headless worlds for the benchmarks, built through the same library code
// as the programs, and the figures the workloads report.
#pragma once

#include <chrono>
#include <ctime>

#include "terrarium/world.h"

// Builds terrarium's world as the program does, for a screen of lines x
// cols, world size `size` and the default roughness and grid, without a
// screen, replacing the one made before. A stop throws common::stopped.
terrarium::world &terrarium_world(unsigned seed, int lines, int cols, float size);

// Runs that world, without screen or keys, until `passes` more pass
// boundaries have been reached; returns the turns taken.
long run_passes(long passes);

// Peak resident memory of this process so far, in megabytes.
double peak_rss_mb();

// CPU time of the calling thread, system time included: on a machine
// shared with other work, what the workload itself costs.
struct bench_clock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<bench_clock>;
    static constexpr bool is_steady = true;
    static time_point now()
    {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return time_point(duration(ts.tv_sec * 1000000000LL + ts.tv_nsec));
    }
};

inline double seconds_since(bench_clock::time_point start)
{
    return std::chrono::duration<double>(bench_clock::now() - start).count();
}

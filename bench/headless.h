// Headless worlds for the benchmarks, built through the same library code
// as the programs, and the figures the workloads report.
#pragma once

#include <chrono>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "storage/headless.h"
#include "terrarium/world.h"

// Builds terrarium's world as the program does, for a screen of lines x
// cols, world size `size` and the default roughness and grid, without a
// screen, replacing the one made before.
terrarium::world &terrarium_world(unsigned seed, int lines, int cols, float size);

// Runs that world, without screen or keys, until `passes` more pass
// boundaries have been reached; returns the turns taken.
long run_passes(long passes);

// A world refused or ended where a benchmark needs it running ends the
// benchmark, with the outcome's message and status.
void must_run(const common::world_base &w);

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

// Runs work(&figures) in a child, so that its memory is its own, and brings
// its figures back whole (a plain struct with an `ok` field); the child's
// peak resident memory into *peak_mb if asked. False when the child
// failed.
template <class Figures, class Work>
bool in_child(Figures *figures, Work work, double *peak_mb = nullptr)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        Figures mine{};
        work(&mine);
        ssize_t written = write(fds[1], &mine, sizeof mine);
        _exit(written == static_cast<ssize_t>(sizeof mine) ? 0 : 1);
    }
    close(fds[1]);
    size_t got = 0;
    char *into = reinterpret_cast<char *>(figures);
    while (got < sizeof *figures) {
        ssize_t n = read(fds[0], into + got, sizeof *figures - got);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(fds[0]);
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    if (peak_mb != nullptr)
        *peak_mb = usage.ru_maxrss / 1024.0;
    return got == sizeof *figures && WIFEXITED(status) && WEXITSTATUS(status) == 0 && figures->ok;
}

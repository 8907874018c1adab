// Runs without a terminal, for the tools, the tests and the benchmarks:
// curses on a null device, a stop that ends the run instead of the
// process, and either program's world run pass by pass and dumped.
#pragma once

#include <cstdio>
#include <string>
#include <unordered_map>

#include "common/loop.h"

namespace common {

// A stop seen in a headless run.
struct stopped {
    int status;
    std::string message;
};

// Opens (or reopens) curses on a null terminal of lines x cols, letting go
// of the status line and the map of any earlier run first (they die with
// their screen). From then on a stop throws `stopped`, and sleeps return
// at once. False when curses cannot be started.
bool headless_screen(int lines, int cols);

// One program's part of a headless run.
struct headless_program {
    const char *name;
    void (*forget)();              // frees the world of any earlier run
    void (*start)(unsigned seed);  // start-up as in the program, seeded
    void (*dump)(std::FILE *out, long passes);  // the state, as text
};

// A whole run: a null terminal of lines x cols, the world started with
// `seed`, the main loop run as with no key ever pressed up to the
// (passes + 1)-th arrival at a pass boundary, before any of its work; then
// the dump. A stop on the way dumps the state as it stands and "stopped";
// a refusal at start-up only prints its message. Returns the exit status.
int run_headless(const headless_program &program, unsigned seed, int lines, int cols, long passes,
                 std::FILE *out);

// The first lines of a dump: the program, the map's size, the passes run
// and the phase, then the map row by row.
void dump_world(std::FILE *out, const char *name, long passes);

// Every bug's place in turn order from `start`, for dumping bug pointers
// as numbers.
template <class Bug>
std::unordered_map<const Bug *, int> number_bugs(const Bug *start)
{
    std::unordered_map<const Bug *, int> number;
    if (start == nullptr)
        return number;
    const Bug *b = start;
    do {
        number.emplace(b, static_cast<int>(number.size()));
        b = b->next;
    } while (b != start);
    return number;
}

}  // namespace common

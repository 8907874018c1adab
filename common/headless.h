// Runs without a terminal, for the tools, the tests and the benchmarks:
// curses on a null device, a stop that ends the run instead of the
// process, and either program's world run pass by pass and dumped.
#pragma once

#include <cstdio>
#include <string>
#include <initializer_list>
#include <unordered_map>
#include <utility>

#include "common/ring.h"

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
    void (*set_world_size)();  // from the screen's size (and the options)
    void (*start)();           // terrain, food and bugs on the new map
    void (*enter_loop)();      // the loop state as the main loop begins
    void (*dump)(std::FILE *out, long passes);  // the state, as text
    void (*free_world)();
    run_description (*describe)();  // for the first lines of a log
};

// Start-up as in the program, with the random generator seeded with
// `seed` instead of the clock, up to the main loop.
void start_seeded(const headless_program &program, unsigned seed);

// Frees the world and the status line of a run.
void forget(const headless_program &program);

// A whole run: a null terminal of lines x cols, the world started with
// `seed`, the main loop run as with no key ever pressed up to the
// (passes + 1)-th arrival at a pass boundary, before any of its work; then
// the dump. A stop on the way dumps the state as it stands and "stopped";
// a refusal at start-up only prints its message, and so does memory that
// runs short ("world too large", as the programs refuse such a world). A
// log opened before the run (open_log) has its rows and is finished with
// the world as it ended; one that could not be written whole is said so
// and makes the status EXIT_BAD_ENVIRONMENT, as in the programs.
// Returns the exit status.
int run_headless(const headless_program &program, unsigned seed, int lines, int cols, long passes,
                 std::FILE *out);

// The first lines of a dump: the program, the map's size, the passes run
// and the phase, then the map row by row.
void dump_world(std::FILE *out, const char *name, long passes);

// The bugs in turn order from `start`, a line each from `line`, then the
// bug pointers as numbers in that order (-1 for none).
template <class Bug>
void dump_bugs(std::FILE *out, const Bug *start, void (*line)(std::FILE *, const Bug *),
               std::initializer_list<std::pair<const char *, const Bug *>> pointers)
{
    std::unordered_map<const Bug *, int> number;
    for_each_bug(start, [&](const Bug *b) { number.emplace(b, static_cast<int>(number.size())); });
    std::fprintf(out, "bugs %zu\n", number.size());
    for_each_bug(start, [&](const Bug *b) { line(out, b); });
    const char *space = "";
    for (const auto &[name, p] : pointers) {
        std::fprintf(out, "%s%s %d", space, name, p == nullptr ? -1 : number.at(p));
        space = " ";
    }
    std::fputc('\n', out);
}

}  // namespace common

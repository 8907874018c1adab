// Runs without a terminal, for the tools, the tests and the benchmarks:
// either program's world run pass by pass and dumped, its outcome made
// the run's messages and status. Nothing here touches curses.
#pragma once

#include <cstdio>
#include <string>
#include <unordered_map>

#include "common/references.h"
#include "common/ring.h"
#include "common/rules.h"
#include "storage/run_log.h"
#include "storage/world_file.h"

namespace common {

// From now on sleeps return at once.
void headless_hooks();

// Start-up as in the program, with the generator seeded with `seed`
// instead of the clock, for a screen of lines x cols, up to the main loop.
// Returns the outcome: running, or the world refused on the way.
outcome start_seeded(world_base &w, const rules &r, unsigned seed, int lines, int cols);

// A whole run of the new world `w`: started with `seed` for a screen of
// lines x cols, run as with no key ever pressed up to the (passes + 1)-th
// arrival at a pass boundary, before any of its work; then the dump. A
// world that ends on the way (its last bug, bad terrain, a lost bug) is
// dumped as it stands, then "stopped", and its message printed; a world
// refused (too small, too large) only has its message printed, and so has
// memory that runs short anywhere ("world too large", as the programs
// refuse such a world). The status is the outcome's, as in the programs.
// A `log`, opened before the run, watches the world for the run: it has
// its rows and is finished with the world as it ended; one that could not
// be written whole is said so and makes the status EXIT_BAD_ENVIRONMENT,
// as in the programs.
// Returns the exit status.
//
// With a save point, the world is also written to its file (save_world)
// once `at` of the passes are run, and the run goes on; a save that fails
// ends the run there with its line and EXIT_BAD_ENVIRONMENT, nothing dumped.
struct save_point {
    long at = -1;  // passes run before the save; none when negative
    std::string path;
};
int run_headless(world_base &w, const rules &r, unsigned seed, int lines, int cols, long passes, std::FILE *out,
                 const save_point &save = {}, run_log *log = nullptr);

// As run_headless, for a world read from a file (load_world) instead of a
// seeded one, run as `run` says (a pending turn first): `passes` and the
// save point count from the pass it was saved at, and so do the log's
// rows.
int resume_headless(world_base &w, const rules &r, const run_state &run, long passes, std::FILE *out,
                    const save_point &save = {}, run_log *log = nullptr);

// The bugs in turn order from the cursor, a line each from `line`, then
// the pass marker ("first"), the selection ("sb") and each tracker's
// holder, by the tracker's name, as numbers in that order (-1 for none).
template <class Bug, std::size_t N>
void dump_bugs(std::FILE *out, void (*line)(std::FILE *, const Bug *), const bug_references<Bug, N> &refs,
               const tracker<Bug> (&table)[N])
{
    std::unordered_map<const Bug *, int> number;
    for_each_bug(refs.cursor, [&](const Bug *b) { number.emplace(b, static_cast<int>(number.size())); });
    std::fprintf(out, "bugs %zu\n", number.size());
    for_each_bug(refs.cursor, [&](const Bug *b) { line(out, b); });
    auto put = [&](const char *space, const char *name, const Bug *p) {
        std::fprintf(out, "%s%s %d", space, name, p == nullptr ? -1 : number.at(p));
    };
    put("", "first", refs.marker);
    put(" ", "sb", refs.selected);
    for (std::size_t i = 0; i < N; i++)
        put(" ", table[i].name, refs.held[i]);
    std::fputc('\n', out);
}

}  // namespace common

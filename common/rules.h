// Running a world, without a screen: what a program's rules are to the
// loop, and the pass-by-pass run that the interactive loop, the headless
// tools, the tests and the benchmarks share.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>

#include "common/outcome.h"
#include "common/census.h"
#include "common/world.h"

namespace common {

class field_writer;
class field_reader;

// One program's rules, on any world of its type: what the loop, the
// headless runs and the world files call. A program does not fill it by
// hand: it describes itself once, and rules_of makes this from that.
struct rules {
    const char *name;  // in the program's messages
    std::unique_ptr<world_base> (*new_world)();  // one of its default options, not opened yet
    // Plans the map for the world's screen (screen_lines x screen_cols) by
    // the world's options; refuses a world too small for them. It and the
    // next four may end the world (end_world): run them through size_world,
    // start_world, play_turn or run_passes, which record the outcome.
    void (*world_size)(world_base &w);
    void (*start)(world_base &w);                   // terrain, food and bugs on the new map
    bool (*at_boundary)(const world_base &w);       // the ring cursor is on the pass marker
    void (*ageing_step)(world_base &w);             // the ageing step of the bug at the cursor
    void (*turn)(world_base &w);                    // the next bug's turn
    long (*population)(const world_base &w);        // living bugs
    void (*census)(const world_base &w, census *c); // the figures of the statistics screen, for the log
    run_description (*describe)(const world_base &w);  // for the first lines of a log
    void (*dump)(std::FILE *out, const world_base &w); // the state, as text
    // Its part of a world file: what its world holds besides the common
    // part, and its bugs. `read` reads into a world whose common part is
    // read and whose map is open; a fault is left in `in`.
    // EXIT_WORLD_TOO_LARGE when memory runs short.
    void (*write)(field_writer &out, const world_base &w);
    int (*read)(field_reader &in, world_base &w);
};

// The rules of the program that `Description` describes: a struct that
// names the program (`name`) and its world type (`world`), and gives each
// rule above as a static member taking that world. The rules are only
// ever given worlds of their own program, so this is the one place where
// a world_base is taken as the program's world.
template <class Description>
constexpr rules rules_of()
{
    using D = Description;
    using W = typename D::world;
    return {
        D::name,
        [] { return std::unique_ptr<world_base>(std::make_unique<W>()); },
        [](world_base &w) { D::world_size(static_cast<W &>(w)); },
        [](world_base &w) { D::start(static_cast<W &>(w)); },
        [](const world_base &w) { return D::at_boundary(static_cast<const W &>(w)); },
        [](world_base &w) { D::ageing_step(static_cast<W &>(w)); },
        [](world_base &w) { D::turn(static_cast<W &>(w)); },
        [](const world_base &w) { return D::population(static_cast<const W &>(w)); },
        [](const world_base &w, census *c) { D::census(static_cast<const W &>(w), c); },
        [](const world_base &w) { return D::describe(static_cast<const W &>(w)); },
        [](std::FILE *out, const world_base &w) { D::dump(out, static_cast<const W &>(w)); },
        [](field_writer &out, const world_base &w) { D::write(out, static_cast<const W &>(w)); },
        [](field_reader &in, world_base &w) { return D::read(in, static_cast<W &>(w)); },
    };
}

// Runs `rule` on the world: a rule that ends it there (end_world) records
// its outcome in it. Returns the world's outcome.
outcome run_rule(world_base &w, const std::function<void()> &rule);

// Sizes the world for a screen of lines x cols; then w.open(seed) opens
// its map. Returns the outcome: running, or too_small.
outcome size_world(world_base &w, const rules &r, int lines, int cols);

// Terrain, food and bugs on the world's open map. Returns the outcome:
// running, or the world refused (too_large, bad_terrain).
outcome start_world(world_base &w, const rules &r);

// The work of a pass boundary: the world's observers told (the log makes
// its row), then the pass count and the phase.
void pass_boundary(world_base &w, const rules &r);

// The ageing step in an ageing pass, then the next bug's turn; under
// play_turn or run_passes, which catch the world's end.
inline void take_turn(world_base &w, const rules &r)
{
    if (w.phase == 0)
        r.ageing_step(w);
    r.turn(w);
}

// take_turn, for a caller that takes the turns one by one. Returns the
// world's outcome; a world that has ended takes no turn.
outcome play_turn(world_base &w, const rules &r);

// Runs the world without terminal work until the ring cursor has come to
// the pass marker `passes` + 1 times, the first iteration being the first
// arrival, and stops before that arrival's work; or until a turn ends the
// world, left as that turn left it. A world that has ended runs no more.
// Returns the world's outcome; *turns (if given) is set to the number of
// turns taken.
outcome run_passes(world_base &w, const rules &r, long passes, long *turns = nullptr);

// The end of a run when a death leaves one bug, or none (the last one of
// a world seeded with one): one_bug_left or no_bug_left, with a line
// saying so and after how many passes.
[[noreturn]] void end_last_bug(const world_base &w, const char *program, bool none_left);

// The first lines of a dump: the program, the map's size, the passes run
// and the phase, then the map row by row.
void dump_map(std::FILE *out, const char *name, const world_base &w);

}  // namespace common

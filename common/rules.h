// Running a world, without a screen: what a program's rules are to the
// loop, and the pass-by-pass run that the interactive loop, the headless
// tools, the tests and the benchmarks share.
#pragma once

#include <cstdio>
#include <memory>

#include "common/run_log.h"
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
    // the world's options; refuses a world too small for them.
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

// Sizes the world for a screen of lines x cols (a log being written is
// told of it); then w.open(seed) opens its map.
void size_world(world_base &w, const rules &r, int lines, int cols);

// The work of a pass boundary that changes the world: the log's row, the
// pass count and the phase.
void pass_boundary(world_base &w, const rules &r);

// The ageing step in an ageing pass, then the next bug's turn.
inline void take_turn(world_base &w, const rules &r)
{
    if (w.phase == 0)
        r.ageing_step(w);
    r.turn(w);
}

// Runs the world without terminal work until the ring cursor has come to
// the pass marker `passes` + 1 times, the first iteration being the first
// arrival, and stops before that arrival's work. At each boundary begun,
// *done (if given) is set to the number begun so far, so it holds even
// when the run stops on the way. Returns the number of turns taken.
long run_passes(world_base &w, const rules &r, long passes, long *done = nullptr);

// The end of a run when a death leaves one bug, or none (the last one of
// a world seeded with one): status 0, and a line saying so and after how
// many passes.
[[noreturn]] void stop_last_bug(const world_base &w, const char *program, bool none_left);

// The first lines of a dump: the program, the map's size, the passes run
// and the phase, then the map row by row.
void dump_map(std::FILE *out, const char *name, const world_base &w);

}  // namespace common

// Running a world, without a screen: what a program's rules are to the
// loop, and the pass-by-pass run that the interactive loop, the headless
// tools, the tests and the benchmarks share.
#pragma once

#include <cstdio>

#include "common/run_log.h"
#include "common/world.h"

namespace common {

struct world_codec;

// One program's rules, on any world of its type.
struct rules {
    const char *name;  // in the program's messages
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
    const world_codec *codec;                       // its part of a world file
};

// Sizes the world for a screen of lines x cols; then w.open(seed) opens
// its map.
void size_world(world_base &w, const rules &r, int lines, int cols);

// The work of a pass boundary: the world's observers told (the log makes
// its row), then the pass count and the phase.
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

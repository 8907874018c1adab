// What start-up and shutdown do alike in both programs.
#pragma once

#include "common/findbug.h"
#include "common/food.h"
#include "common/hooks.h"
#include "common/map.h"
#include "common/ring.h"
#include "common/run_log.h"
#include "common/term.h"

namespace common {

// The program's start-up: reads the environment (PROGRAM_SEED, a seed to
// replay a world with instead of the clock's; PROGRAM_LOG, a file for the
// run's log), refusing a bad setting with EXIT_BAD_ENVIRONMENT before the
// screen opens; opens the user's terminal (refusing what cannot be one),
// with colour if PROGRAM_COLOR=1 asks for it (see set_up_colour); sets the
// world's size from the screen's, puts the keyboard in raw mode, creates
// the map with the seed, and starts the world.
void start_up(const run_description &run, void (*set_world_size)(), void (*start)());

// A seed written as decimal digits alone, 0 to 4294967295: no sign, no
// space, not empty. False for anything else.
bool parse_seed(const char *text, unsigned *seed);

// The food and bugs of a new world, after its terrain: area / 10 plantings,
// then area / 100 bugs, each record filled in by `seed_bug`, linked into
// the ring at `head` in the order of their making, and indexed. A record
// that cannot be had ends the program: "world too large".
template <class Bug>
void populate(Bug *&head, bug_index<Bug> &index, void (*seed_bug)(Bug *))
{
    int area = world_col * world_row;
    for (int i = 0; i < area / 10; i++)
        placefood();
    for (int i = 0; i < area / 100; i++) {
        Bug *b = static_cast<Bug *>(hooks.allocate(sizeof(Bug)));
        if (b == nullptr)
            stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
        seed_bug(b);
        append_bug(head, b);
    }
    if (!index.build(world_col, head))
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
}

// Frees every bug, the index and the map, and clears the bug pointers.
template <class Bug, class References>
void free_world(bug_index<Bug> &index, References &refs)
{
    index.clear();
    free_ring(refs.cursor);
    refs.point_all_at(nullptr);
    close_world();
}

}  // namespace common

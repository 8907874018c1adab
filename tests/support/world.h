// Worlds for the unit tests, of either program, on a null terminal: blank
// maps with bugs placed by hand, or seeded worlds as the program makes
// them. A stop throws common::stopped instead of ending the test.
//
// Each program is a side with the same members, so that a rule both
// programs share is tested once for both: for_both(f) calls f(side).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/findbug.h"
#include "common/headless.h"
#include "common/map.h"
#include "common/ring.h"
#include "terrarium/globals.h"
#include "vivarium/globals.h"

// Frees the world of either program and opens a null screen.
void fresh_screen(int lines = 24, int cols = 80);

// Writes text rows onto the map from its top-left corner (' ' leaves a
// cell as it is).
void draw(const std::vector<std::string> &rows);

// What stop a call ends in; status -1 when it returns.
common::stopped stop_of(const std::function<void()> &call);

template <class Bug>
struct side {
    using bug = Bug;
    static const char *const name;
    static const common::program &program;
    static const common::headless_program &headless;
    static void (*const turn)();
    static void (*const ageing_step)();
    static void (*const mate)();
    static void (*const die)(Bug *);
    static Bug *(*const findbug)(int, int);
    static common::bug_index<Bug> &index;
    static Bug *&cursor;
    static int &chosen_by;                  // the tracker that chose the selection, + 1
    static std::vector<Bug **> pointers();  // cursor, marker, selection, hf, hg, old (, hk)

    // A blank map of rows x cols on a screen of lines x screen_cols, no
    // bugs, the loop entered for the program.
    static void blank(int rows, int cols, int lines = 24, int screen_cols = 80);
    // A bug on (y, x), facing `vector`: size 10, food 1000, gen 1, age 0,
    // every gene REST (terrarium: vision 5, attractions as seeded), linked
    // in as the last bug and not drawn. The first one added becomes every
    // bug pointer.
    static Bug *add(int y, int x, char race, int vector = 0);
    // A world built as the program builds it, with `seed`.
    static void seeded(unsigned seed, int lines = 24, int cols = 80);
};

using terrarium_side = side<terrarium::bug>;
using vivarium_side = side<vivarium::bug>;

template <class S>
constexpr bool is_terrarium = std::is_same_v<S, terrarium_side>;

template <class F>
void for_both(F f)
{
    f(terrarium_side{});
    f(vivarium_side{});
}

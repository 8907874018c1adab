// Worlds for the unit tests, of either program, on a null terminal: blank
// maps with bugs placed by hand, or seeded worlds as the program makes
// them. A stop throws common::stopped instead of ending the test.
//
// Each program is a "side" with the same members, so that a rule both
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

// The map's rows as text.
std::vector<std::string> map_text();
// Writes text rows onto the map from its top-left corner (' ' leaves a
// cell as it is).
void draw(const std::vector<std::string> &rows);

// What stop a call ends in; status -1 when it returns.
common::stopped stop_of(const std::function<void()> &call);

template <class Bug>
struct side_members {
    // A blank map of rows x cols on a screen of lines x screen_cols, no
    // bugs, the loop entered for the program.
    static void blank(int rows, int cols, int lines = 24, int screen_cols = 80);
    // A bug on (y, x), facing `vector`: size 10, food 1000, gen 1, age 0,
    // every gene REST (terrarium: vision 5, attractions as seeded). Linked
    // in as the last bug; the first one added becomes every bug pointer.
    // Not drawn.
    static Bug *add(int y, int x, char race, int vector = 0);
    // A world built as the program builds it, with `seed`.
    static void seeded(unsigned seed, int lines = 24, int cols = 80);
    static Bug *&cursor();
    static std::vector<Bug **> pointers();  // every global bug pointer
};

struct terrarium_side : side_members<terrarium::bug> {
    using bug = terrarium::bug;
    static constexpr const char *name = "terrarium";
    static const common::program &program;
    static const common::headless_program &headless;
    static void turn();
    static void ageing_step();
    static void mate();
    static void die(bug *b);
    static bug *findbug(int row, int col);
    static const common::bug_index<bug> &index();
};

struct vivarium_side : side_members<vivarium::bug> {
    using bug = vivarium::bug;
    static constexpr const char *name = "vivarium";
    static const common::program &program;
    static const common::headless_program &headless;
    static void turn();
    static void ageing_step();
    static void mate();
    static void die(bug *b);
    static bug *findbug(int row, int col);
    static const common::bug_index<bug> &index();
};

template <class F>
void for_both(F f)
{
    f(terrarium_side{});
    f(vivarium_side{});
}

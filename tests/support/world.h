// Worlds for the unit tests, of either program: blank maps with bugs
// placed by hand, or seeded worlds as the program makes them, without a
// screen; a session on a null terminal for the tests of what is shown.
//
// Each program is a side with the same members, so that a rule both
// programs share is tested once for both: for_both(f) calls f(side).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "storage/headless.h"
#include "screen/loop.h"
#include "terrarium/world.h"
#include "vivarium/world.h"

// Opens a null screen of lines x cols (closing the session on it).
void fresh_screen(int lines = 24, int cols = 80);

// The world of the test under way: the last one made by a side.
common::world_base &current_world();

// Writes text rows onto the current world's map from its top-left corner
// (' ' leaves a cell as it is).
void draw(const std::vector<std::string> &rows);

// How a call that ends the program (a refusal through stop_with) ends it,
// run in a child without the way out's last words: the exit status and
// what it printed on the standard error stream; status 255 when it returns.
struct ending {
    int status;
    std::string message;
};
ending ending_of(const std::function<void()> &call);

template <class Bug>
struct side {
    using bug = Bug;
    using world = std::conditional_t<std::is_same_v<Bug, terrarium::bug>, terrarium::world, vivarium::world>;
    static const char *const name;
    static const common::rules &rules;
    static const common::program &program;
    static void (*const turn_of)(world &);
    static void (*const ageing_step_of)(world &);
    static void (*const mate_of)(world &);
    static void (*const die_of)(world &, Bug *, const Bug *);

    // This side's world of the test under way, and its parts.
    static world &w();
    static void turn() { turn_of(w()); }
    static void ageing_step() { ageing_step_of(w()); }
    static void mate() { mate_of(w()); }
    static void die(Bug *b) { die_of(w(), b, nullptr); }
    static Bug *&cursor() { return w().refs.cursor; }
    static std::vector<Bug **> pointers();  // cursor, marker, selection, hf, hg, old (, hk)

    // A blank map of rows x cols, no bugs, for a screen of lines x screen_cols.
    static void blank(int rows, int cols, int lines = 24, int screen_cols = 80);
    // A bug on (y, x) with the given facing: size 10, food 1000, gen 1, age 0,
    // every gene REST (terrarium: vision 5, attractions as seeded), linked
    // in as the last bug and not drawn. The first one added becomes every
    // bug pointer.
    static Bug *add(int y, int x, char race, int facing = 0);
    // A world built as the program builds it, with `seed` (terrarium: and `size`).
    static void seeded(unsigned seed, int lines = 24, int cols = 80, float size = 2.0f);
    // The interactive session on the world, on a null screen of the
    // world's screen size, made at the first call for each world.
    static common::session &session();
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

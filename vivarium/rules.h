// vivarium's rules as the loop runs them: the turn and the ageing step,
// and the program described once, with its rules made from that for the
// interactive program and the headless tools.
#pragma once

#include <cstdio>

#include "common/rules.h"
#include "vivarium/init.h"
#include "vivarium/stat.h"
#include "vivarium/world.h"

namespace vivarium {

// The ageing step of the bug at the cursor: it ages and dies without
// food; then the bug at the cursor (its predecessor after a death) gives
// birth when well fed, grows the food when it is the pass marker, and
// takes the trackers it beats.
void ageing_step(world &w);

// The next bug's turn: it leaves its cell, behaves, pays for its action
// and is drawn on its new cell.
void turn(world &w);

// The map, the bugs in turn order with every field, the references as
// numbers in that order, and the population count.
void dump(std::FILE *out, const world &w);

// Its part of a world file.
void write_world(common::field_writer &out, const world &w);
int read_world(common::field_reader &in, world &w);

// vivarium described once, for the loop, the headless tools and the
// world files: its world, each rule on it, its part of a world file and
// its trackers. The screen's part adds to it (driver.cpp).
struct description {
    using world = vivarium::world;
    static constexpr const char *name = "vivarium";
    static constexpr auto &trackers = vivarium::trackers;
    static constexpr auto world_size = vivarium::world_size;
    static constexpr auto start = vivarium::start;
    static bool at_boundary(const world &w) { return w.refs.cursor == w.refs.marker; }
    static constexpr auto ageing_step = vivarium::ageing_step;
    static constexpr auto turn = vivarium::turn;
    static long population(const world &w) { return static_cast<long>(w.population); }
    static constexpr auto census = take_census;
    static constexpr auto describe = vivarium::describe;
    static constexpr auto dump = vivarium::dump;
    static constexpr auto write = write_world;
    static constexpr auto read = read_world;
};

// Its rules, made from the description.
extern const common::rules world_rules;

}  // namespace vivarium

// terrarium's rules as the loop runs them: the turn and the ageing step,
// and the program described once, with its rules made from that for the
// interactive program and the headless tools.
#pragma once

#include <cstdio>

#include "common/rules.h"
#include "terrarium/init.h"
#include "terrarium/stat.h"
#include "terrarium/world.h"

namespace terrarium {

// The ageing step of the bug at the cursor: food grows when it is the
// pass marker's; it ages, gives birth when well fed, takes the trackers it
// beats, and dies without food.
void ageing_step(world &w);

// The next bug's turn: it leaves its cell, behaves, pays for its action,
// adjusts its vision and is drawn on its new cell.
void turn(world &w);

// The map, the bugs in turn order with every field, the references as
// numbers in that order, and the terrain counts.
void dump(std::FILE *out, const world &w);

// Its part of a world file.
void write_world(common::field_writer &out, const world &w);
int read_world(common::field_reader &in, world &w);

// terrarium described once, for the loop, the headless tools and the
// world files: its world, each rule on it, its part of a world file and
// its trackers. The screen's part adds to it (driver.cpp).
struct description {
    using world = terrarium::world;
    static constexpr const char *name = "terrarium";
    static constexpr auto &trackers = terrarium::trackers;
    static constexpr auto world_size = terrarium::world_size;
    static constexpr auto start = terrarium::start;
    static bool at_boundary(const world &w) { return w.refs.cursor == w.refs.marker; }
    static constexpr auto ageing_step = terrarium::ageing_step;
    static constexpr auto turn = terrarium::turn;
    static long population(const world &w) { return static_cast<long>(w.index.size()); }
    static constexpr auto census = take_census;
    static constexpr auto describe = terrarium::describe;
    static constexpr auto dump = terrarium::dump;
    static constexpr auto write = write_world;
    static constexpr auto read = read_world;
};

// Its rules, made from the description.
extern const common::rules world_rules;

}  // namespace terrarium

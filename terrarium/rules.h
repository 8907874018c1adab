// terrarium's rules as the loop runs them: the turn and the ageing step,
// and the whole set for the interactive program and the headless tools.
#pragma once

#include <cstdio>

#include "common/rules.h"
#include "terrarium/world.h"

namespace terrarium {

extern const common::rules world_rules;

// Its part of a world file.
extern const common::world_codec file_codec;

// The ageing step of the bug at the cursor: food grows when it is the
// pass marker's; it ages, gives birth when well fed, takes the trackers it
// beats, and dies without food.
void ageing_step(world &w);

// The next bug's turn: it leaves its cell, behaves, pays for its action,
// adjusts its vision and is drawn on its new cell.
void turn(world &w);

// The map, the bugs in turn order with every field, the references as
// numbers in that order, and the terrain counts.
void dump(std::FILE *out, const common::world_base &w);

}  // namespace terrarium

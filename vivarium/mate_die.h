// Birth and death: the ring, the map and the population count kept
// consistent as bugs come and go.
#pragma once

#include "vivarium/world.h"

namespace vivarium {

// One child of the current bug, placed on a blank cell near it and linked
// in right after it. Gives the birth up, leaving everything as it was,
// when no blank cell is left or no memory can be had for the child.
void mate(world &w);

// Removes a bug (killed by `killer`, or starved when none): a seedling on its cell, every bug pointer on it moved to
// its predecessor, unlinked and freed. Ends the world when one bug is
// left (end_last_bug).
void die(world &w, bug *victim, const bug *killer = nullptr);

}  // namespace vivarium

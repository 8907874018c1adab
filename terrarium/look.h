// Perception along the bug's facing and the choice of an action.
#pragma once

#include "terrarium/world.h"

namespace terrarium {

int step_of(int d);                        // row change of one step in direction d mod 4
char peek(const world &w, int a, int b);   // glyph a cells ahead of the cursor's bug and b to the right

// Total weight of a ray from the cell (dy, dx) off the cursor's bug, going
// in direction dir, starting at `depth`.
float ray_weight(const world &w, int depth, int dir, int dy, int dx);

// The cursor's bug meets what is ahead, mating with its race, eating ripe
// food or fighting another race as its attractions say (REST or STEP
// after these), or else chooses an action from what it sees and the gene
// of this phase. Returns the action.
int behave(world &w);

}  // namespace terrarium

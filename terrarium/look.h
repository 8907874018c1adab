// Perception along the bug's facing and the choice of an action.
#pragma once

namespace terrarium {

int look_c(int d);       // row change of one step in direction d mod 4
char peek(int a, int b); // glyph a cells ahead and b to the right

// Total weight of a ray from the cell (dy, dx) off the current bug, going
// in direction dir, starting at `depth`.
float look_b(int depth, int dir, int dy, int dx);

// The current bug's action for this turn; settles encounters ahead.
int look(int phase);

}  // namespace terrarium

// What the current bug sees around it, and the choice of its action.
#pragma once

#include "vivarium/world.h"

namespace vivarium {

// Glyph a cells ahead of the cursor's bug and b to its right (negative b:
// to its left), relative to its facing, with wrap-around.
char peek(const world &w, int a, int b);

// The ahead, left and right scores of the fixed cell pattern.
struct scores {
    int ahead;
    int left;
    int right;
};
scores score_cells(const world &w);

// The cursor's bug meets what is ahead, mating with its race ahead when
// fed and eating ripe food ahead (REST or STEP after these), or else
// chooses an action by the scores and its gene of this phase. Returns the
// action.
int behave(world &w);

}  // namespace vivarium

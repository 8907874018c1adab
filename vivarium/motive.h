// A bug's attraction to a glyph.
#pragma once

#include "vivarium/world.h"

namespace vivarium {

// 1 for the bug's own race when it has more than 600 food, 1 for its food
// glyph when it has less than 600, else 0: nothing repels.
int motivate(const bug *me, char glyph);

}  // namespace vivarium

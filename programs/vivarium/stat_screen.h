// vivarium's statistics screen.
#pragma once

#include "vivarium/world.h"

namespace vivarium {

// Draws the statistics of the living bugs into stdscr (no refresh): races
// in byte order, the totals always.
void stat(const world &w);

}  // namespace vivarium

// terrarium's statistics screen.
#pragma once

#include "terrarium/world.h"

namespace terrarium {

// Draws the statistics of the living bugs into stdscr (no refresh): the
// header, the column labels, the totals and one row per race, the most
// numerous first, as many as fit above the last two screen rows.
void stat(const world &w);

}  // namespace terrarium

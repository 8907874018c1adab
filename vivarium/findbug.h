// The current bug's attraction to a glyph, and the lookup of a bug by its
// cell.
#pragma once

#include "common/findbug.h"
#include "vivarium/globals.h"

namespace vivarium {

// 1 for the bug's own race when it has more than 600 food, 1 for its food
// glyph when it has less than 600, else 0: nothing repels.
int motivate(char glyph);

// The first bug in ring order from `bugs` standing on (row, col); a cell
// showing a bug that the ring does not hold stops the program.
bug *findbug(int row, int col);

// Bugs by the cell they stand on, kept through seeding, steps, births and
// deaths, so that findbug does not walk the ring.
extern common::bug_index<bug> bugs_by_cell;

}  // namespace vivarium

// Glyph classes, attraction weights and the lookup of a bug by its cell.
#pragma once

#include "common/findbug.h"
#include "terrarium/globals.h"

namespace terrarium {

int is_bug(char glyph);   // 1 for 'A' to 'Z'
int is_pass(char glyph);  // 0 for water, mountains and bugs, else 1

// The current bug's weight for a glyph seen at a depth (1 or more).
float motivate(char glyph, int depth);

// The first bug in ring order from `bugs` standing on (row, col); a cell
// showing a bug that the ring does not hold stops the program.
bug *findbug(int row, int col);

// Bugs by the cell they stand on, kept through seeding, steps, births and
// deaths, so that findbug does not walk the ring.
extern common::bug_index<bug> bugs_by_cell;

}  // namespace terrarium

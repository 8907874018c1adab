// The food cycle over a map of rows x cols cells held in a pad.
// Food lives only as glyphs: '.' seedling, '*' sprout, '@' ripe.
#pragma once

#include <curses.h>

// Plants a seedling on a random blank cell in 2 calls out of 11.
void place_food(WINDOW *pad, int rows, int cols);

// Moves every food cell one stage on and lets ripe cells sow their blank
// neighbours; '!' marks ripening sprouts within the call only.
void grow_food(WINDOW *pad, int rows, int cols);

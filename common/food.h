// The food cycle over a map of rows x cols cells held in a pad.
// Food lives only as glyphs: '.' seedling, '*' sprout, '@' ripe.
#pragma once

#include <curses.h>

// Plants a seedling on a random blank cell in 2 calls out of 11.
void place_food(WINDOW *pad, int rows, int cols);

// Moves every food cell one stage on and lets ripe cells sow their blank
// neighbours, as three sweeps with '!' marking ripening sprouts would;
// no '!' is left. rows and cols are the pad's size.
void grow_food(WINDOW *pad, int rows, int cols);

// The world map's pad as start-up makes it, in either program.
#pragma once

#include <curses.h>

// Seeds the random generator with `seed`, creates the pad of the world map
// (rows x cols, all blank) and clears the screen. A pad that cannot be had
// ends the program: "world too large", EXIT_WORLD_TOO_LARGE.
WINDOW *open_world(unsigned seed, int rows, int cols);

// The glyph of a map cell; 0 for a cell off the pad.
char glyph_of(WINDOW *pad, int row, int col);

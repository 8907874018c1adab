// The world map is a curses pad: its character cells are the map itself.
// Every module reads and writes the map only through these two functions.
#pragma once

#include <curses.h>

// Reads the glyph at (row, col) into *glyph, without its attributes.
// Returns -1 and leaves *glyph as it was when the cell is off the pad.
int cell_read(WINDOW *pad, int row, int col, char *glyph);

// Puts glyph at (row, col) with the pad's current attributes.
void cell_write(WINDOW *pad, int row, int col, char glyph);

// The remainder of v by n (n > 0), never negative.
inline int wrap(int v, int n)
{
    int r = v % n;
    return r < 0 ? r + n : r;
}

// Reads the glyphs of the first `count` cells of `row` into glyphs[0 ..
// count - 1], without attributes. Returns -1 and leaves glyphs as they
// were when the row is off the pad or the pad is narrower than `count`.
int cell_read_row(WINDOW *pad, int row, char *glyphs, int count);

// The world map. Its glyphs live in a curses pad, which the map view shows;
// every change to the map is one cell_write, which also keeps a copy of the
// glyphs, one byte per cell, that every read uses: the same answers as
// reading the pad, at a quarter of the memory traffic, without reaching
// into curses' window structures.
#pragma once

#include <cstddef>
#include <curses.h>

namespace common {

extern WINDOW *world_pad;  // the map as the screen shows it
extern int world_row;      // rows of the map
extern int world_col;      // columns of the map

namespace map_detail {
extern char *glyphs;       // the copy, row by row
}

// The remainder of v by n (n > 0), never negative. Cells one step off
// the map, the common case, are brought back without a division.
inline int wrap(int v, int n)
{
    if (static_cast<unsigned>(v) < static_cast<unsigned>(n))
        return v;
    if (v < 0 && v >= -n)
        return v + n;
    if (v >= n && v - n < n)
        return v - n;
    int r = v % n;
    return r < 0 ? r + n : r;
}

inline bool on_map(int row, int col)
{
    return static_cast<unsigned>(row) < static_cast<unsigned>(world_row) &&
           static_cast<unsigned>(col) < static_cast<unsigned>(world_col);
}

// The glyph at (row, col), without attributes; '\0' off the map.
inline char cell_read(int row, int col)
{
    if (!on_map(row, col))
        return '\0';
    return map_detail::glyphs[static_cast<size_t>(row) * static_cast<size_t>(world_col) +
                              static_cast<size_t>(col)];
}

// Whether the map is too big for the processor's caches to keep it and
// its bugs' records; then what a turn reads is asked for a turn ahead.
inline bool big_world() { return static_cast<long>(world_row) * world_col >= (1L << 22); }

// Asks the processor early for the cells that a bug at (y, x) looks at
// first: its row and, `reach` rows up and down, its column.
inline void prefetch_around(int y, int x, int reach)
{
    for (int d = -reach; d <= reach; d++)
        __builtin_prefetch(map_detail::glyphs + static_cast<size_t>(wrap(y + d, world_row)) * world_col + x);
}

// The glyphs of one row of the map (world_col of them).
inline const char *map_row(int row)
{
    return map_detail::glyphs + static_cast<size_t>(row) * static_cast<size_t>(world_col);
}

// Puts glyph at (row, col), drawn with `attrs` (A_STANDOUT for the
// selected bug). Glyphs are printable ASCII; anything else, and a cell off
// the map, writes nothing. The copy changes at once, the pad when it is
// brought up to date.
void cell_write(int row, int col, char glyph, chtype attrs = 0);

// Brings the pad up to date with every write: before it is shown or read.
void sync_pad();

// Seeds the random generator with `seed`, creates the map (world_row x
// world_col, all blank) and clears the screen. A map that cannot be had
// ends the program: "world too large", EXIT_WORLD_TOO_LARGE.
void open_world(unsigned seed);

// Deletes the map and lets go of its memory; nothing when there is none.
void close_world();

}  // namespace common

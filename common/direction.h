// Facings and the cells around a bug: 0 north, 1 east, 2 south, 3 west.
#pragma once

#include <cstdio>

#include "common/map.h"

namespace common {

// Row and column change of one step in each facing.
constexpr int row_step[4] = {-1, 0, 1, 0};
constexpr int col_step[4] = {0, 1, 0, -1};

inline bool is_direction(int v) { return v >= 0 && v <= 3; }
inline int turned_left(int v) { return (v + 3) % 4; }
inline int turned_right(int v) { return (v + 1) % 4; }

// The cell `ahead` cells ahead of (y, x) in facing v and `right` cells to
// its right (negative: to its left), not yet wrapped; v must be 0 to 3.
inline void relative_cell(int v, int y, int x, int ahead, int right, int *row, int *col)
{
    int side = turned_right(v);
    *row = y + ahead * row_step[v] + right * row_step[side];
    *col = x + ahead * col_step[v] + right * col_step[side];
}

// The glyph of that cell, with wrap-around. A facing outside 0 to 3 is
// reported as it would be by the reading bug, and reads as open ground.
inline char glyph_towards(const world_map &map, int v, int y, int x, int ahead, int right)
{
    if (!is_direction(v)) {
        std::fputs("default in peek bugs->vector is bad\n", stderr);
        return ' ';
    }
    int row = 0, col = 0;
    relative_cell(v, y, x, ahead, right, &row, &col);
    return map.read(wrap(row, map.rows()), wrap(col, map.cols()));
}

}  // namespace common

// The bug record, the ring and the global simulation state of vivarium.
#pragma once

#include <cstdint>
#include <curses.h>

#include "common/decide.h"

namespace vivarium {

constexpr int GENES = 25;

struct bug {
    int x, y;         // column and row of the bug's cell
    int vector;       // facing: 0 north, 1 east, 2 south, 3 west
    int food;         // stored energy; below 1 at an ageing step: death
    char food_glyph;  // the glyph the bug eats: always '@'
    char race;        // race letter, also the bug's glyph on the map
    int age, gen;     // ageing steps lived; generation, 1 for seeded bugs
    int size;         // 2 to 100
    int dna[GENES];   // gene i is the action consulted on phase i
    bug *prev, *next; // ring links; next is the turn order
    // Kept by the index of bugs by cell (see common/cell_index.h).
    uint32_t cell_id;
    uint32_t next_on_cell;
    uint64_t ring_order;
};

// Bug pointers, none owning, each always on a living bug of the ring: the
// ring cursor (the bug acting, or the one that acted last), the pass
// marker, the selected bug, and the trackers of most food, highest
// generation and greatest age.
extern bug *bugs, *first, *sb, *hf, *hg, *old;

extern int population;  // living bugs: always the size of the ring

extern WINDOW *world_pad;  // the world map; a cell's glyph is the map
// The map's size, derived from the screen's once at start-up.
extern int map_rows, map_cols;

// Row and column change of one step in each facing.
constexpr int row_step[4] = {-1, 0, 1, 0};
constexpr int col_step[4] = {0, 1, 0, -1};

// Reads the glyph of a map cell (row, column already wrapped).
char glyph_at(int row, int col);
// Writes a glyph into a map cell.
void put_glyph(int row, int col, char glyph);

}  // namespace vivarium

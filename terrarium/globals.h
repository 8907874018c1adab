// The bug record, the ring and the global simulation state of terrarium.
#pragma once

#include <cstdint>
#include <curses.h>

#include "common/decide.h"

namespace terrarium {

constexpr int GENES = 25;
constexpr int GLYPHS = 256;

struct bug {
    int x;               // column of the bug's cell
    int y;               // row of the bug's cell
    int vector;          // facing: 0 north, 1 east, 2 south, 3 west
    int food;            // stored energy; below 1 at an ageing step: death
    char race;           // race letter, also the bug's glyph on the map
    int age;             // ageing steps lived
    int gen;             // generation, 1 for seeded bugs
    int size;            // 2 to 100
    int vision;          // how far the bug looks along each ray
    int motive[GLYPHS];  // attraction to each glyph, by unsigned byte
    int dna[GENES];      // gene i is the action consulted on phase i
    bug *prev;
    bug *next;           // the turn order
    // Kept by the index of bugs by cell (see common/cell_index.h).
    uint32_t cell_id;
    uint32_t next_on_cell;
    uint64_t ring_order;
};

inline int attraction(const bug *b, char glyph) { return b->motive[static_cast<unsigned char>(glyph)]; }
inline int &attraction(bug *b, char glyph) { return b->motive[static_cast<unsigned char>(glyph)]; }

// Bug pointers: none owns; each always points at a living bug of the ring.
extern bug *bugs;   // ring cursor: the bug acting, or the one that acted last
extern bug *first;  // pass marker: a pass boundary is reached on this bug
extern bug *sb;     // the selected bug
extern bug *hf;     // tracker: most food
extern bug *hg;     // tracker: highest generation
extern bug *old;    // tracker: oldest
extern bug *hk;     // tracker: lowest attraction to ripe food

extern WINDOW *world_pad;  // the world map; a cell's glyph is the map
extern int world_row;      // rows of the map
extern int world_col;      // columns of the map
extern float world_size;   // map size as a multiple of the screen size
extern int roughness;      // terrain roughness
extern int grid_size;      // exponent of the terrain's seed grid
extern int mnt_c;          // mountain cells when the terrain was made
extern int wtr_c;          // water cells when the terrain was made

// Reads the glyph of a map cell (row, column already wrapped).
char glyph_at(int row, int col);
// Writes a glyph into a map cell.
void put_glyph(int row, int col, char glyph);

}  // namespace terrarium

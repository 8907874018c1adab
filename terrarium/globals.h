// The bug record, the ring and the global simulation state of terrarium.
#pragma once

#include <cstdint>

#include "common/decide.h"
#include "common/food.h"
#include "common/loop.h"
#include "common/map.h"
#include "common/popup.h"
#include "common/references.h"
#include "common/stop.h"
#include "common/term.h"
#include "common/text.h"

namespace terrarium {

// The parts both programs share, by their own names.
using namespace common;
constexpr int GLYPHS = 256;

// The fields a turn reads come first, so that they share a cache line.
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
    bug *prev;
    bug *next;           // the turn order
    uint32_t index_id;   // its entry in the index of bugs by cell
    gene_t dna[GENES];   // gene i is the action consulted on phase i
    int motive[GLYPHS];  // attraction to each glyph, by unsigned byte
};

inline int attraction(const bug *b, char glyph) { return b->motive[static_cast<unsigned char>(glyph)]; }
inline int &attraction(bug *b, char glyph) { return b->motive[static_cast<unsigned char>(glyph)]; }

// The trackers: most food, highest generation, oldest, and the lowest
// attraction to ripe food (the greatest killer).
extern const common::tracker<bug> trackers[4];

// The ring cursor, the pass marker, the selection and the trackers' holders.
using references = common::bug_references<bug, 4>;
extern references refs;

extern float world_size;   // map size as a multiple of the screen size
extern int roughness;      // terrain roughness
extern int grid_size;      // exponent of the terrain's seed grid
extern int mnt_c;          // mountain cells when the terrain was made
extern int wtr_c;          // water cells when the terrain was made

}  // namespace terrarium

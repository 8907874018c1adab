// The bug record, the ring and the global simulation state of vivarium,
// and the names it takes from the parts both programs share.
#pragma once

#include <cstdint>

#include "common/decide.h"
#include "common/food.h"
#include "common/loop.h"
#include "common/map.h"
#include "common/term.h"

namespace vivarium {

using common::cell_read;
using common::cell_write;
using common::gene_t;
using common::growfood;
using common::phase;
using common::placefood;
using common::REST;
using common::STEP;
using common::stop;
using common::stop_with;
using common::track_label;
using common::TURN_LEFT;
using common::TURN_RIGHT;
using common::world_col;
using common::world_pad;
using common::world_row;
using common::wrap;

constexpr int GENES = 25;

struct bug {
    int x, y;          // column and row of the bug's cell
    int vector;        // facing: 0 north, 1 east, 2 south, 3 west
    int food;          // stored energy; below 1 at an ageing step: death
    char food_glyph;   // the glyph the bug eats: always '@'
    char race;         // race letter, also the bug's glyph on the map
    int age, gen;      // ageing steps lived; generation, 1 for seeded bugs
    int size;          // 2 to 100
    bug *prev, *next;  // ring links; next is the turn order
    uint32_t index_id; // its entry in the index of bugs by cell
    gene_t dna[GENES]; // gene i is the action consulted on phase i
};

// Bug pointers, none owning, each always on a living bug of the ring: the
// ring cursor (the bug acting, or the one that acted last), the pass
// marker, the selected bug, and the trackers of most food, highest
// generation and greatest age.
extern bug *bugs, *first, *sb, *hf, *hg, *old;

extern int population;  // living bugs: always the size of the ring

}  // namespace vivarium

// The bug record and the world of vivarium.
#pragma once

#include <cstdint>

#include "common/decide.h"
#include "common/food.h"
#include "common/references.h"
#include "common/outcome.h"
#include "common/text.h"
#include "common/world.h"

namespace vivarium {

// The parts both programs share, by their own names.
using namespace common;


struct bug {
    int x, y;          // column and row of the bug's cell
    int facing;        // 0 north, 1 east, 2 south, 3 west
    int food;          // stored energy; below 1 at an ageing step: death
    char food_glyph;   // the glyph the bug eats: always '@'
    char race;         // race letter, also the bug's glyph on the map
    int age, gen;      // ageing steps lived; generation, 1 for seeded bugs
    int size;          // 2 to 100
    bug *prev, *next;  // ring links; next is the turn order
    uint32_t index_id; // its entry in the index of bugs by cell
    gene_t dna[GENES]; // gene i is the action consulted on phase i
    int64_t id;        // unique within its world, in order of birth
};

// The trackers: most food, highest generation, oldest.
extern const common::tracker<bug> trackers[3];

struct world : common::bug_world<bug, 3> {
    std::unique_ptr<common::world_base> clone() const override { return std::make_unique<world>(*this); }
    int population = 0;  // living bugs: always the size of the ring
};

}  // namespace vivarium

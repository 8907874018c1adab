// The bug record and the world of terrarium.
#pragma once

#include <cstdint>

#include "common/decide.h"
#include "common/food.h"
#include "common/references.h"
#include "common/outcome.h"
#include "common/text.h"
#include "common/usage.h"
#include "common/world.h"

namespace terrarium {

// The parts both programs share, by their own names.
using namespace common;
constexpr int GLYPHS = 256;

// The fields a turn reads come first, so that they share a cache line.
struct bug {
    int x;               // column of the bug's cell
    int y;               // row of the bug's cell
    int facing;          // 0 north, 1 east, 2 south, 3 west
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
    int64_t id;          // unique within its world, in order of birth
};

inline int attraction(const bug *b, char glyph) { return b->motive[static_cast<unsigned char>(glyph)]; }
inline int &attraction(bug *b, char glyph) { return b->motive[static_cast<unsigned char>(glyph)]; }

// The trackers: most food, highest generation, oldest, and the lowest
// attraction to ripe food (the greatest killer).
extern const common::tracker<bug> trackers[4];

// The world's shape as the command line gives it, or a request for the
// usage text or the version instead of a run.
struct options {
    float world_size = 2.0f;  // map size as a multiple of the screen size
    int roughness = 150;      // terrain roughness
    int grid_size = 4;        // exponent of the terrain's seed grid
    common::request asked = common::request::run;
    const char *resume = nullptr;  // --resume: the file of a saved world to run on
};

struct world : common::bug_world<bug, 4> {
    explicit world(const options &chosen = options()) : shape(chosen) {}
    std::unique_ptr<common::world_base> clone() const override { return std::make_unique<world>(*this); }

    options shape;
    int mountain_cells = 0;  // when the terrain was made
    int water_cells = 0;
};

}  // namespace terrarium

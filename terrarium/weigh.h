// Glyph classes and attraction weights.
#pragma once

#include "terrarium/world.h"

namespace terrarium {

// 1 for 'A' to 'Z'.
inline int is_bug(char glyph) { return glyph >= 'A' && glyph <= 'Z'; }

// 0 for water, mountains and refs.cursor, else 1.
inline int is_pass(char glyph) { return glyph != '~' && glyph != '#' && !is_bug(glyph); }

// A bug's weight for a glyph seen at a depth (1 or more): its attraction
// divided by the depth, halved when it is well fed (60 x size), and for
// its own race, when well fed, the food beyond that mark instead. Each
// quotient is a single-precision float. What it depends on is read from
// the bug once; most glyphs weigh nothing and need no division.
struct weigher {
    explicit weigher(const bug *b)
        : motive(b->motive), race(b->race), fed(b->food >= 60LL * b->size), surplus(b->food - 60LL * b->size)
    {
    }
    float operator()(char glyph, int depth) const
    {
        if (fed && glyph == race)
            return static_cast<float>(static_cast<double>(surplus) / depth);
        int attracted = motive[static_cast<unsigned char>(glyph)];
        if (attracted == 0)
            return 0.0f;
        return static_cast<float>(static_cast<double>(attracted) / (fed ? 2.0 * depth : depth));
    }
    const int *motive;
    char race;
    bool fed;
    long long surplus;
};

}  // namespace terrarium

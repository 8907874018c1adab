// The food and bugs of a new world, alike in both programs.
#pragma once

#include "common/findbug.h"
#include "common/food.h"
#include "common/hooks.h"
#include "common/ring.h"
#include "common/outcome.h"

namespace common {

// The food and bugs of a new world, after its terrain: area / 10 plantings,
// then area / 100 bugs, each record filled in by `seed_bug`, linked into
// the ring in the order of their making, and indexed; every reference on
// the first one. A record that cannot be had refuses the world: too
// large.
template <class World>
void populate(World &w, void (*seed_bug)(World &, typename World::bug_type *))
{
    using Bug = typename World::bug_type;
    int area = w.map.cols() * w.map.rows();
    for (int i = 0; i < area / 10; i++)
        placefood(w);
    for (int i = 0; i < area / 100; i++) {
        Bug *b = static_cast<Bug *>(hooks.allocate(sizeof(Bug)));
        if (b == nullptr)
            end_world(outcome::too_large, "world too large\n");
        seed_bug(w, b);
        append_bug(w.refs.cursor, b);
    }
    if (!w.index.build(w.map.cols(), w.refs.cursor))
        end_world(outcome::too_large, "world too large\n");
    w.refs.point_all_at(w.refs.cursor);
    w.number_founders();
}

}  // namespace common

#include "terrarium/rules.h"

#include <cmath>

#include "common/turn.h"
#include "terrarium/init.h"
#include "terrarium/look.h"
#include "terrarium/mate_die.h"
#include "terrarium/stat.h"

namespace terrarium {

constexpr common::tracker<bug> trackers[4] = {
    {"hf ", "hf", [](const bug *b) { return b->food; }, false, true},
    {"hg ", "hg", [](const bug *b) { return b->gen; }, false, true},
    {"old", "old", [](const bug *b) { return b->age; }, false, true},
    {"hk ", "hk", [](const bug *b) { return attraction(b, '@'); }, true, true},
};

void ageing_step(world &w)
{
    bug *b = w.refs.cursor;
    if (b == w.refs.marker)
        growfood(w);
    b->age++;
    if (b->food >= 120 * b->size)
        mate(w);
    w.refs.track(trackers, b);
    if (b->food < 1) {
        if (b == w.refs.selected)
            w.refs.chosen_by = 0;
        die(w, b);
    }
}

namespace {

constexpr common::cost_table cost = {1.0, 1.2, 1.2, 1.5};

void adjust_vision(bug *b)
{
    if (b->vision < 1)
        b->vision++;
    if (std::sqrt(static_cast<double>(b->size)) < b->vision)
        b->vision--;
}

// What the next turns read that a big world keeps out of the cache: the
// record two turns ahead, and for the next bug the attractions to the
// map's glyphs and the cells around it.
void prefetch_turns_ahead(const world &w, const bug *next)
{
    __builtin_prefetch(next->next);
    for (char glyph : {' ', '.', '@', 'M', 'Z', '~'})
        __builtin_prefetch(&next->motive[static_cast<unsigned char>(glyph)]);
    w.map.prefetch_around(next->y, next->x, next->vision < 10 ? next->vision : 10);
}

}  // namespace

void turn(world &w)
{
    w.refs.cursor = w.refs.cursor->next;
    bug *b = w.refs.cursor;
    if (w.map.big())
        prefetch_turns_ahead(w, b->next);
    w.map.write(b->y, b->x, ' ');
    int action = behave(w);
    if (action == REST)
        b->vision++;
    else if (action == STEP)
        b->vision--;
    common::act(w, b, action, cost);
    adjust_vision(b);
    w.map.write(b->y, b->x, b->race, b == w.refs.selected);
}

const common::rules world_rules = common::rules_of<description>();

}  // namespace terrarium

#include "vivarium/rules.h"

#include "common/turn.h"
#include "vivarium/init.h"
#include "vivarium/look.h"
#include "vivarium/mate_die.h"
#include "vivarium/stat.h"

namespace vivarium {

constexpr common::tracker<bug> trackers[3] = {
    {"hf ", "hf", [](const bug *b) { return b->food; }, false, true},
    {"hg ", "hg", [](const bug *b) { return b->gen; }, false, true},
    {"old", "old", [](const bug *b) { return b->age; }, false, true},
};

namespace {

// Food from which a bug reproduces at its ageing step, whatever its size.
constexpr int AGEING_BIRTH_FOOD = 1200;

constexpr common::cost_table cost = {1.0, 1.1, 1.1, 1.3};

}  // namespace

void ageing_step(world &w)
{
    bug *b = w.refs.cursor;
    b->age++;
    if (b->food < 1) {
        if (b == w.refs.selected)
            w.refs.chosen_by = 0;
        die(w, b);
    }
    // After a death the rest is for the dead bug's predecessor, which may
    // have had its own ageing step in this pass already.
    b = w.refs.cursor;
    if (b->food >= AGEING_BIRTH_FOOD)
        mate(w);
    if (b == w.refs.marker)
        growfood(w);
    w.refs.track(trackers, b);
}

void turn(world &w)
{
    w.refs.cursor = w.refs.cursor->next;
    bug *b = w.refs.cursor;
    w.map.write(b->y, b->x, ' ');  // so that it does not see itself
    common::act(w, b, behave(w), cost);
    w.map.write(b->y, b->x, b->race);
}

const common::rules world_rules = common::rules_of<description>();

}  // namespace vivarium

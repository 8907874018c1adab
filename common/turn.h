// The action of a turn applied to a bug, in either program: its food cost,
// and the turn or the step it makes.
#pragma once

#include <cmath>
#include <cstdio>

#include "common/decide.h"
#include "common/direction.h"
#include "common/map.h"

namespace common {

// Costs of REST, TURN_LEFT, TURN_RIGHT and STEP in units of log10(size) + 1.
using cost_table = double[4];

// log10(size) + 1, the same double every time: sizes 2 to 100, which are
// all a bug can have, come from a table made once.
inline double cost_unit(int size)
{
    static const struct units {
        double of[101];
        units()
        {
            for (int s = 0; s <= 100; s++)
                of[s] = std::log10(static_cast<double>(s)) + 1;
        }
    } table;
    if (size >= 2 && size <= 100)
        return table.of[size];
    return std::log10(static_cast<double>(size)) + 1;
}

// Charges b the cost of `action` (the new food truncated toward zero) and
// turns it or moves it one cell ahead, with wrap-around, keeping the
// world's index up to date. A bad action code or facing prints its line
// and does nothing more.
template <class World, class Bug>
void act(World &w, Bug *b, int action, const cost_table &cost)
{
    if (action < REST || action > STEP) {
        std::fputs("default in main look returned a bad value\n", stderr);
        return;
    }
    b->food = static_cast<int>(b->food - cost_unit(b->size) * cost[action]);
    if (action == TURN_LEFT) {
        b->facing = turned_left(b->facing);
    } else if (action == TURN_RIGHT) {
        b->facing = turned_right(b->facing);
    } else if (action == STEP) {
        if (!is_direction(b->facing)) {
            std::fputs("default in main inner bugs->vector is bad\n", stderr);
            return;
        }
        int old_y = b->y, old_x = b->x;
        b->y = wrap(b->y + row_step[b->facing], w.map.rows());
        b->x = wrap(b->x + col_step[b->facing], w.map.cols());
        w.index.move(b, old_y, old_x);
    }
}

}  // namespace common

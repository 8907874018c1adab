#include "tests/support/vivarium_world.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "common/ring_walk.h"
#include "vivarium/driver.h"
#include "vivarium/findbug.h"
#include "vivarium/init.h"
#include "tests/support/headless.h"

using namespace vivarium;

namespace vivarium_test {

void blank_world(int rows, int cols, int lines, int cols_on_screen)
{
    free_world();
    headless_screen(lines, cols_on_screen);
    map_rows = rows;
    map_cols = cols;
    world_pad = newpad(rows, cols);
    ASSERT_NE(world_pad, nullptr);
    bugs_by_cell.reset(rows, cols);
    common::enter_loop("x 1234 vdcegz hjkl fstpn");
}

bug *add_bug(int y, int x, char race, int vector)
{
    bug *b = static_cast<bug *>(std::calloc(1, sizeof(bug)));
    b->x = x;
    b->y = y;
    b->vector = vector;
    b->race = race;
    b->food_glyph = '@';
    b->size = 10;
    b->food = 1000;
    b->gen = 1;
    bool empty = bugs == nullptr;
    append_bug(bugs, b);
    bugs_by_cell.add_linked(b);
    if (empty)
        first = sb = hf = hg = old = b;
    population++;
    return b;
}

void put(int row, int col, char glyph) { put_glyph(row, col, glyph); }

char at(int row, int col) { return glyph_at(row, col); }

int ring_size()
{
    int n = 0;
    bool broken = false;
    for_each_bug(bugs, [&](const bug *b) {
        broken |= b->next->prev != b || b->prev->next != b;
        broken |= b->x < 0 || b->x >= map_cols || b->y < 0 || b->y >= map_rows;
        n++;
    });
    return broken ? -1 : n;
}

void seeded_world(unsigned seed, int lines, int cols)
{
    free_world();
    headless_screen(lines, cols);
    set_world_size();
    build_world(seed);
    enter_loop();
}

void run_passes(long passes, void (*at_boundary)())
{
    common::run_passes(bugs, first, loop_step, passes, nullptr, at_boundary);
}

}  // namespace vivarium_test

#include "tests/support/terrarium_world.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "common/ring.h"
#include "terrarium/driver.h"
#include "terrarium/findbug.h"
#include "terrarium/init.h"
#include "tests/support/headless.h"

using namespace terrarium;

namespace terrarium_test {

void blank_world(int rows, int cols, int lines, int cols_on_screen)
{
    free_world();
    headless_screen(lines, cols_on_screen);
    world_row = rows;
    world_col = cols;
    world_pad = newpad(rows, cols);
    ASSERT_NE(world_pad, nullptr);
    wtr_c = mnt_c = 0;
    bugs_by_cell.reset(rows, cols);
    common::enter_loop("x 12345 vdcegzb hjklw fstpn ");
}

bug *add_bug(int y, int x, char race, int vector)
{
    bug *b = static_cast<bug *>(std::calloc(1, sizeof(bug)));
    b->x = x;
    b->y = y;
    b->vector = vector;
    b->race = race;
    b->size = 10;
    b->vision = 5;
    b->food = 1000;
    b->gen = 1;
    for (int code = 'A'; code <= 'Z'; code++)
        b->motive[code] = 5;
    attraction(b, '@') = 15;
    b->prev = b->next = b;
    if (bugs == nullptr) {
        bugs = first = sb = hf = hg = old = hk = b;
    } else {
        link_after(bugs->prev, b);
    }
    bugs_by_cell.add_linked(b);
    return b;
}

void put(int row, int col, char glyph) { put_glyph(row, col, glyph); }

char at(int row, int col) { return glyph_at(row, col); }

std::string row_text(int row)
{
    std::string text;
    for (int col = 0; col < world_col; col++)
        text += at(row, col);
    return text;
}

int ring_size()
{
    if (bugs == nullptr)
        return 0;
    int n = 0;
    const bug *b = bugs;
    do {
        if (b->next->prev != b || b->prev->next != b)
            return -1;
        if (b->x < 0 || b->x >= world_col || b->y < 0 || b->y >= world_row)
            return -1;
        n++;
        b = b->next;
    } while (b != bugs);
    return n;
}

void options(std::vector<const char *> args)
{
    args.insert(args.begin(), "terrarium");
    const char *message = nullptr;
    ASSERT_EQ(parse_options(static_cast<int>(args.size()), args.data(), &message), 0);
}

void seeded_world(unsigned seed, int lines, int cols)
{
    free_world();
    headless_screen(lines, cols);
    set_world_size();
    build_world(seed);
    enter_loop();
}

void run_passes(long passes) { common::run_passes(bugs, first, loop_step, passes); }

}  // namespace terrarium_test

#include "vivarium/driver.h"

#include <cmath>
#include <cstdio>

#include "common/cell.h"
#include "common/edit_window.h"
#include "common/popup.h"
#include "common/world.h"
#include "vivarium/edit.h"
#include "vivarium/findbug.h"
#include "vivarium/food.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"
#include "vivarium/look.h"
#include "vivarium/mate_die.h"
#include "vivarium/stat.h"

namespace vivarium {

bug *bugs, *first, *sb, *hf, *hg, *old;
int population;
WINDOW *world_pad;
int map_rows, map_cols;

char glyph_at(int row, int col) { return glyph_of(world_pad, row, col); }
void put_glyph(int row, int col, char glyph) { cell_write(world_pad, row, col, glyph); }

void enter_loop()
{
    common::enter_loop("x 1234 vdcegz hjkl fstpn");
    first = sb = hf = hg = old = bugs;
}

namespace {

// Food from which a bug reproduces at its ageing step, whatever its size.
constexpr int AGEING_BIRTH_FOOD = 1200;

// A tracker passes to b when b beats its holder's current value.
void track(bug *&holder, bug *b, int bug::*field)
{
    if (b->*field > holder->*field)
        holder = b;
}

}  // namespace

void ageing_step()
{
    bug *b = bugs;
    b->age++;
    if (b->food < 1) {
        if (b == sb)
            common::track_label = "xx ";
        die(b);
    }
    // After a death the rest is for the dead bug's predecessor, which may
    // have had its own ageing step in this pass already.
    b = bugs;
    if (b->food >= AGEING_BIRTH_FOOD)
        mate();
    if (b == first)
        growfood();
    track(hf, b, &bug::food);
    track(hg, b, &bug::gen);
    track(old, b, &bug::age);
}

namespace {

// Cost of each action, in units of log10(size) + 1.
constexpr double cost_factor[4] = {1.0, 1.1, 1.1, 1.3};

void step_ahead(bug *b)
{
    if (b->vector < 0 || b->vector > 3) {
        std::fputs("default in main inner bugs->vector is bad\n", stderr);
        return;
    }
    int old_y = b->y, old_x = b->x;
    b->y = wrap(b->y + row_step[b->vector], map_rows);
    b->x = wrap(b->x + col_step[b->vector], map_cols);
    bugs_by_cell.move(b, old_y, old_x);
}

void act(bug *b, int action)
{
    if (action < REST || action > STEP) {
        std::fputs("default in main look returned a bad value\n", stderr);
        return;
    }
    double unit = std::log10(static_cast<double>(b->size)) + 1;
    b->food = static_cast<int>(b->food - unit * cost_factor[action]);
    if (action == TURN_LEFT)
        b->vector = (b->vector + 3) % 4;
    else if (action == TURN_RIGHT)
        b->vector = (b->vector + 1) % 4;
    else if (action == STEP)
        step_ahead(b);
}

}  // namespace

void turn()
{
    bugs = bugs->next;
    bug *b = bugs;
    put_glyph(b->y, b->x, ' ');  // so that it does not see itself
    act(b, look(common::phase));
    put_glyph(b->y, b->x, b->race);
}

void loop_step(const common::program *ui)
{
    bool boundary = bugs == first;
    if (boundary && ui)
        common::boundary_show(*ui);
    if (boundary)
        common::phase = (common::phase + 1) % 25;
    if (boundary && ui)
        common::boundary_keys(*ui);
    if (common::phase == 0)
        ageing_step();
    turn();
}

namespace {

// The selection keys: the bug each one selects, and its label.
struct selection {
    int key;
    bug *(*target)();
    const char *label;
};
const selection selections[] = {
    {'1', [] { return sb->next; }, "xx "},
    {'2', [] { return hf; }, "hf "},
    {'3', [] { return hg; }, "hg "},
    {'4', [] { return old; }, "old"},
};

bool own_key(int k)
{
    for (const selection &s : selections)
        if (k == s.key) {
            sb = s.target();
            common::track_label = s.label;
            return true;
        }
    switch (k) {
    case 'v': case 'V': common::popup(2, "x=%i  y=%i", sb->x, sb->y); break;
    case 'd': case 'D': dopopup(gene_digits(sb->dna, GENES).c_str(), 5); break;
    case 'c': case 'C': common::popup(3, "R=%c G=%i A=%i F=%i", sb->race, sb->gen, sb->age, sb->food); break;
    case 'e': case 'E': edit(sb); break;
    default: return false;
    }
    return true;
}

}  // namespace

const common::program vivarium_program = {
    [] { return world_pad; },
    [] { return map_rows; },
    [] { return map_cols; },
    stat,
    stop,
    [](int *row, int *col) {
        *row = sb->y;
        *col = sb->x;
    },
    own_key,
};

void main_loop()
{
    for (;;)
        loop_step(&vivarium_program);
}

void repaint() { common::repaint(vivarium_program); }
void key_loop() { common::key_loop(vivarium_program); }
void do_key(int k) { common::do_key(vivarium_program, k); }

}  // namespace vivarium

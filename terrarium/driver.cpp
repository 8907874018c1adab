#include "terrarium/driver.h"

#include <cmath>
#include <cstdio>

#include "common/cell.h"
#include "common/edit_window.h"
#include "common/popup.h"
#include "common/term.h"
#include "terrarium/edit.h"
#include "terrarium/findbug.h"
#include "terrarium/food.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "terrarium/look.h"
#include "terrarium/mate_die.h"
#include "terrarium/stat.h"
#include "terrarium/view_t.h"

namespace terrarium {

bug *bugs = nullptr;
bug *first = nullptr;
bug *sb = nullptr;
bug *hf = nullptr;
bug *hg = nullptr;
bug *old = nullptr;
bug *hk = nullptr;

WINDOW *world_pad = nullptr;
int world_row = 0;
int world_col = 0;
float world_size = 2.0f;
int roughness = 150;
int grid_size = 4;
int mnt_c = 0;
int wtr_c = 0;

char glyph_at(int row, int col)
{
    char glyph = 0;
    cell_read(world_pad, row, col, &glyph);
    return glyph;
}

void put_glyph(int row, int col, char glyph) { cell_write(world_pad, row, col, glyph); }

void enter_loop()
{
    common::enter_loop("x 12345 vdcegzb hjklw fstpn ");
    first = sb = hf = hg = old = hk = bugs;
}

void ageing_step()
{
    bug *b = bugs;
    if (b == first)
        growfood();
    b->age++;
    if (b->food >= 120 * b->size)
        mate();
    if (b->food > hf->food)
        hf = b;
    if (b->gen > hg->gen)
        hg = b;
    if (b->age > old->age)
        old = b;
    if (attraction(b, '@') < attraction(hk, '@'))
        hk = b;
    if (b->food < 1) {
        if (b == sb)
            track_label = "xx ";
        die(b);
    }
}

namespace {

// Food after an action costing `factor` units: truncated toward zero.
int charged(int food, double unit, double factor) { return static_cast<int>(food - unit * factor); }

void step(bug *b)
{
    int old_y = b->y, old_x = b->x;
    switch (b->vector) {
    case 0: b->y = (b->y - 1 + world_row) % world_row; break;
    case 1: b->x = (b->x + 1) % world_col; break;
    case 2: b->y = (b->y + 1) % world_row; break;
    case 3: b->x = (b->x - 1 + world_col) % world_col; break;
    default: std::fputs("default in main inner bugs->vector is bad\n", stderr);
    }
    bugs_by_cell.move(b, old_y, old_x);
}

void apply(bug *b, int action)
{
    double unit = std::log10(static_cast<double>(b->size)) + 1;
    switch (action) {
    case REST:
        b->vision++;
        b->food = charged(b->food, unit, 1.0);
        break;
    case TURN_LEFT:
        b->food = charged(b->food, unit, 1.2);
        b->vector = (b->vector + 3) % 4;
        break;
    case TURN_RIGHT:
        b->food = charged(b->food, unit, 1.2);
        b->vector = (b->vector + 1) % 4;
        break;
    case STEP:
        b->vision--;
        b->food = charged(b->food, unit, 1.5);
        step(b);
        break;
    default:
        std::fputs("default in main look returned a bad value\n", stderr);
    }
}

void adjust_vision(bug *b)
{
    if (b->vision < 1)
        b->vision++;
    if (std::sqrt(static_cast<double>(b->size)) < b->vision)
        b->vision--;
}

void redraw(bug *b)
{
    if (b == sb)
        wattr_on(world_pad, A_STANDOUT, nullptr);
    put_glyph(b->y, b->x, b->race);
    if (b == sb)
        wattr_off(world_pad, A_STANDOUT, nullptr);
}

}  // namespace

void turn()
{
    bugs = bugs->next;
    bug *b = bugs;
    put_glyph(b->y, b->x, ' ');
    apply(b, look(phase));
    adjust_vision(b);
    redraw(b);
}

void loop_step(const common::program *ui)
{
    if (bugs == first) {
        if (ui)
            common::boundary_show(*ui);
        phase = (phase + 1) % 25;
        if (ui)
            common::boundary_keys(*ui);
    }
    if (phase == 0)
        ageing_step();
    turn();
}

namespace {

WINDOW *pad() { return world_pad; }
int rows() { return world_row; }
int cols() { return world_col; }

void selected(int *row, int *col)
{
    *row = sb->y;
    *col = sb->x;
}

void select(bug *b, const char *label)
{
    sb = b;
    track_label = label;
}

void world_statistics()
{
    long long area = static_cast<long long>(world_col) * world_row;
    double water = (wtr_c * 100LL) / static_cast<double>(area);
    double mountain = (mnt_c * 100LL) / static_cast<double>(area);
    double rest = ((area - wtr_c - mnt_c) * 100LL) / static_cast<double>(area);
    common::popup(5, "A=%lld W=%.2f M=%.2f S=%.2f", area, water, mountain, rest);
}

void show_genes() { dopopup(gene_digits(sb->dna, GENES).c_str(), 5); }

bool own_key(int k)
{
    switch (k) {
    case '1': select(sb->next, "xx "); break;
    case '2': select(hf, "hf "); break;
    case '3': select(hg, "hg "); break;
    case '4': select(old, "old"); break;
    case '5': select(hk, "hk "); break;
    case 'v': case 'V': common::popup(2, "x=%i  y=%i  v=%i", sb->x, sb->y, sb->vector); break;
    case 'd': case 'D': show_genes(); break;
    case 'c': case 'C':
        common::popup(3, "R=%c G=%i A=%i Fd=%i S=%i Fv=%i F@=%i ", sb->race, sb->gen, sb->age,
                      sb->food, sb->size, sb->vision, attraction(sb, '@'));
        break;
    case 'e': case 'E': edit(sb); break;
    case 'b': case 'B': view_t(sb); break;
    case 'w': case 'W': world_statistics(); break;
    default: return false;
    }
    return true;
}

}  // namespace

const common::program terrarium_program = {pad, rows, cols, stat, stop, selected, own_key};

void main_loop()
{
    for (;;)
        loop_step(&terrarium_program);
}

void repaint() { common::repaint(terrarium_program); }
void key_loop() { common::key_loop(terrarium_program); }
void do_key(int k) { common::do_key(terrarium_program, k); }

}  // namespace terrarium

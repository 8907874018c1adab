#include "terrarium/driver.h"

#include <cmath>

#include "common/popup.h"
#include "common/turn.h"
#include "terrarium/edit.h"
#include "terrarium/findbug.h"
#include "terrarium/globals.h"
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

float world_size = 2.0f;
int roughness = 150;
int grid_size = 4;
int mnt_c = 0;
int wtr_c = 0;

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

constexpr common::cost_table cost = {1.0, 1.2, 1.2, 1.5};

void adjust_vision(bug *b)
{
    if (b->vision < 1)
        b->vision++;
    if (std::sqrt(static_cast<double>(b->size)) < b->vision)
        b->vision--;
}

void redraw(bug *b) { cell_write(b->y, b->x, b->race, b == sb ? A_STANDOUT : 0); }

// What the next turns read that a big world keeps out of the cache: the
// record two turns ahead, and for the next bug the attractions to the
// map's glyphs and the cells around it.
void prefetch_turns_ahead(const bug *next)
{
    __builtin_prefetch(next->next);
    for (char glyph : {' ', '.', '@', 'M', 'Z', '~'})
        __builtin_prefetch(&next->motive[static_cast<unsigned char>(glyph)]);
    common::prefetch_around(next->y, next->x, next->vision < 10 ? next->vision : 10);
}

}  // namespace

void turn()
{
    bugs = bugs->next;
    bug *b = bugs;
    if (common::big_world())
        prefetch_turns_ahead(b->next);
    cell_write(b->y, b->x, ' ');
    int action = look(phase);
    if (action == REST)
        b->vision++;
    else if (action == STEP)
        b->vision--;
    common::act(b, action, cost, bugs_by_cell);
    adjust_vision(b);
    redraw(b);
}

namespace {

void world_statistics()
{
    long long area = static_cast<long long>(world_col) * world_row;
    double water = (wtr_c * 100LL) / static_cast<double>(area);
    double mountain = (mnt_c * 100LL) / static_cast<double>(area);
    double rest = ((area - wtr_c - mnt_c) * 100LL) / static_cast<double>(area);
    dopopup(text_of("A=%lld W=%.2f M=%.2f S=%.2f", area, water, mountain, rest).c_str(), 5);
}

const common::key_command own_keys[] = {
    {'v', [] { dopopup(text_of("x=%i  y=%i  v=%i", sb->x, sb->y, sb->vector).c_str(), 2); }},
    {'c',
     [] {
         dopopup(text_of("R=%c G=%i A=%i Fd=%i S=%i Fv=%i F@=%i ", sb->race, sb->gen, sb->age, sb->food, sb->size,
                         sb->vision, attraction(sb, '@'))
                     .c_str(),
                 3);
     }},
    {'b', [] { view_t(sb); }},
    {'w', world_statistics},
    {0, nullptr},
};

}  // namespace

const common::program terrarium_program = {
    "terrarium", "x 12345 vdcegzb hjklw fstpn ", [] { return bugs == first; }, ageing_step, turn, stat,
    [] { return static_cast<long>(bugs_by_cell.size()); }, 5,
    select_bug<bug, sb, hf, hg, old, hk>, selected_bug<bug, sb>, [] { edit(sb); }, own_keys, take_census};

void enter_loop()
{
    common::enter_loop(terrarium_program);
    first = sb = hf = hg = old = hk = bugs;
}

}  // namespace terrarium

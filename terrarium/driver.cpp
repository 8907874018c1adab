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

const common::tracker<bug> trackers[4] = {
    {"hf ", "hf", [](const bug *b) { return b->food; }, false, true},
    {"hg ", "hg", [](const bug *b) { return b->gen; }, false, true},
    {"old", "old", [](const bug *b) { return b->age; }, false, true},
    {"hk ", "hk", [](const bug *b) { return attraction(b, '@'); }, true, true},
};
references refs;

float world_size = 2.0f;
int roughness = 150;
int grid_size = 4;
int mnt_c = 0;
int wtr_c = 0;

void ageing_step()
{
    bug *b = refs.cursor;
    if (b == refs.marker)
        growfood();
    b->age++;
    if (b->food >= 120 * b->size)
        mate();
    refs.track(trackers, b);
    if (b->food < 1) {
        if (b == refs.selected)
            refs.chosen_by = 0;
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

void redraw(bug *b) { cell_write(b->y, b->x, b->race, b == refs.selected ? A_STANDOUT : 0); }

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
    refs.cursor = refs.cursor->next;
    bug *b = refs.cursor;
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
    {'v', [] { dopopup(text_of("x=%i  y=%i  v=%i", refs.selected->x, refs.selected->y, refs.selected->vector).c_str(), 2); }},
    {'c',
     [] {
         dopopup(text_of("R=%c G=%i A=%i Fd=%i S=%i Fv=%i F@=%i ", refs.selected->race, refs.selected->gen, refs.selected->age, refs.selected->food, refs.selected->size,
                         refs.selected->vision, attraction(refs.selected, '@'))
                     .c_str(),
                 3);
     }},
    {'b', [] { view_t(refs.selected); }},
    {'w', world_statistics},
    {0, nullptr},
};

}  // namespace

const common::program terrarium_program = {
    "terrarium", "x 12345 vdcegzb hjklw fstpn ", [] { return refs.cursor == refs.marker; }, ageing_step, turn, stat,
    [] { return static_cast<long>(bugs_by_cell.size()); }, 1 + references::TRACKERS,
    [](int which) { refs.select(which); }, [] { return refs.label(trackers); },
    [] { return selection{refs.selected->y, refs.selected->x, refs.selected->dna}; }, [] { edit(refs.selected); },
    own_keys, take_census};

void enter_loop()
{
    common::enter_loop(terrarium_program);
    refs.point_all_at(refs.cursor);
}

}  // namespace terrarium

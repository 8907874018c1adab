#include "vivarium/driver.h"

#include "common/popup.h"
#include "common/turn.h"
#include "vivarium/edit.h"
#include "vivarium/findbug.h"
#include "vivarium/globals.h"
#include "vivarium/look.h"
#include "vivarium/mate_die.h"
#include "vivarium/stat.h"

namespace vivarium {

const common::tracker<bug> trackers[3] = {
    {"hf ", "hf", [](const bug *b) { return b->food; }, false, true},
    {"hg ", "hg", [](const bug *b) { return b->gen; }, false, true},
    {"old", "old", [](const bug *b) { return b->age; }, false, true},
};
references refs;
int population;

namespace {

// Food from which a bug reproduces at its ageing step, whatever its size.
constexpr int AGEING_BIRTH_FOOD = 1200;

}  // namespace

void ageing_step()
{
    bug *b = refs.cursor;
    b->age++;
    if (b->food < 1) {
        if (b == refs.selected)
            refs.chosen_by = 0;
        die(b);
    }
    // After a death the rest is for the dead bug's predecessor, which may
    // have had its own ageing step in this pass already.
    b = refs.cursor;
    if (b->food >= AGEING_BIRTH_FOOD)
        mate();
    if (b == refs.marker)
        growfood();
    refs.track(trackers, b);
}

namespace {

constexpr common::cost_table cost = {1.0, 1.1, 1.1, 1.3};

}  // namespace

void turn()
{
    refs.cursor = refs.cursor->next;
    bug *b = refs.cursor;
    cell_write(b->y, b->x, ' ');  // so that it does not see itself
    common::act(b, look(phase), cost, bugs_by_cell);
    cell_write(b->y, b->x, b->race);
}

namespace {

const common::key_command own_keys[] = {
    {'v', [] { dopopup(text_of("x=%i  y=%i", refs.selected->x, refs.selected->y).c_str(), 2); }},
    {'c', [] { dopopup(text_of("R=%c G=%i A=%i F=%i", refs.selected->race, refs.selected->gen, refs.selected->age, refs.selected->food).c_str(), 3); }},
    {0, nullptr},
};

}  // namespace

const common::program vivarium_program = {
    "vivarium", "x 1234 vdcegz hjkl fstpn", [] { return refs.cursor == refs.marker; }, ageing_step, turn, stat,
    [] { return static_cast<long>(population); }, 1 + references::TRACKERS,
    [](int which) { refs.select(which); }, [] { return refs.label(trackers); },
    [] { return selection{refs.selected->y, refs.selected->x, refs.selected->dna}; }, [] { edit(refs.selected); },
    own_keys, take_census};

void enter_loop()
{
    common::enter_loop(vivarium_program);
    refs.point_all_at(refs.cursor);
}

}  // namespace vivarium

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

bug *bugs, *first, *sb, *hf, *hg, *old;
int population;

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
            track_label = "xx ";
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

constexpr common::cost_table cost = {1.0, 1.1, 1.1, 1.3};

}  // namespace

void turn()
{
    bugs = bugs->next;
    bug *b = bugs;
    cell_write(b->y, b->x, ' ');  // so that it does not see itself
    common::act(b, look(phase), cost, bugs_by_cell);
    cell_write(b->y, b->x, b->race);
}

namespace {

const common::key_command own_keys[] = {
    {'v', [] { dopopup(text_of("x=%i  y=%i", sb->x, sb->y).c_str(), 2); }},
    {'c', [] { dopopup(text_of("R=%c G=%i A=%i F=%i", sb->race, sb->gen, sb->age, sb->food).c_str(), 3); }},
    {0, nullptr},
};

}  // namespace

const common::program vivarium_program = {
    "vivarium", "x 1234 vdcegz hjkl fstpn", [] { return bugs == first; }, ageing_step, turn, stat,
    [] { return static_cast<long>(population); }, 4,
    select_bug<bug, sb, hf, hg, old>, selected_bug<bug, sb>, [] { edit(sb); }, own_keys, take_census};

void enter_loop()
{
    common::enter_loop(vivarium_program);
    first = sb = hf = hg = old = bugs;
}

}  // namespace vivarium

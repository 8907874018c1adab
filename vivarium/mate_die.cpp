#include "vivarium/mate_die.h"

#include <algorithm>
#include <cstdlib>

#include "common/birth.h"
#include "common/hooks.h"
#include "common/ring.h"
#include "common/random.h"
#include "vivarium/findbug.h"

namespace vivarium {

namespace {

// Food from which a parent is its own partner.
constexpr int OWN_PARTNER_FOOD = 1200;
// What a birth costs the parent beyond the third of its food it hands over.
constexpr int BIRTH_COST = 200;

void inherit(bug *child, bug *parent, const bug *partner)
{
    child->race = parent->race;
    child->food_glyph = '@';
    child->gen = parent->gen + 1;
    child->age = 0;
    child->vector = world_random.next() % 4;
    child->size = std::clamp(parent->size + world_random.next() % 3 - 1, 2, 100);
    int food = parent->food;
    child->food = food / 3;
    parent->food = static_cast<int>((2LL * food) / 3 - BIRTH_COST);
    common::mix_genes(child->dna, parent->dna, partner->dna, GENES);
}

}  // namespace

void mate()
{
    bug *parent = refs.cursor;
    const bug *partner = common::partner_of(parent, parent->food >= OWN_PARTNER_FOOD, findbug);
    population++;
    bug *child = static_cast<bug *>(common::hooks.allocate(sizeof(bug)));
    // A birth that finds no blank cell, or no memory for the child or the
    // index, does not happen: the count goes back to the ring's size.
    if (child == nullptr || !common::find_child_cell(parent->y, parent->x, &child->y, &child->x) ||
        !bugs_by_cell.make_room()) {
        std::free(child);
        population--;
        return;
    }
    inherit(child, parent, partner);
    common::link_after(parent, child);
    bugs_by_cell.add_linked(child);
}

void die(bug *victim)
{
    population--;
    bool last = victim->next == victim;  // a world seeded with one bug
    cell_write(victim->y, victim->x, '.');
    wrefresh(stdscr);
    bugs_by_cell.remove(victim);
    if (common::remove_bug(victim, refs))
        stop_last_bug(last);
}

}  // namespace vivarium

#include "terrarium/mate_die.h"

#include <algorithm>
#include <cstdlib>

#include "common/birth.h"
#include "common/hooks.h"
#include "common/ring.h"
#include "common/random.h"
#include "terrarium/findbug.h"

namespace terrarium {

namespace {

void inherit(bug *child, bug *parent, const bug *partner)
{
    child->race = parent->race;
    child->gen = parent->gen + 1;
    child->vector = world_random.next() % 4;
    child->age = 0;
    child->size = std::clamp(parent->size + world_random.next() % 11 - 5, 2, 100);
    child->vision = std::clamp(parent->vision + world_random.next() % 3 - 1, 1, 10);
    int food = parent->food;
    child->food = food / 3;
    parent->food = static_cast<int>((2LL * food) / 3 - 15 * parent->size);
    for (int code = 0; code < GLYPHS; code++)
        child->motive[code] = parent->motive[code] / 2;
    attraction(child, '@') += 1;
    common::mix_genes(child->dna, parent->dna, partner->dna, GENES);
}

}  // namespace

void mate()
{
    bug *parent = refs.cursor;
    const bug *partner = common::partner_of(parent, parent->food >= 120 * parent->size, findbug);
    bug *child = static_cast<bug *>(common::hooks.allocate(sizeof(bug)));
    if (child == nullptr)
        return;
    // A birth that finds no blank cell, or no room in the index, does not
    // happen: nothing has changed yet.
    if (!common::find_child_cell(parent->y, parent->x, &child->y, &child->x) || !bugs_by_cell.make_room()) {
        std::free(child);
        return;
    }
    inherit(child, parent, partner);
    common::link_after(parent, child);
    bugs_by_cell.add_linked(child);
}

void die(bug *victim)
{
    bool last = victim->next == victim;  // a world seeded with one bug
    cell_write(victim->y, victim->x, '.');
    bugs_by_cell.remove(victim);
    if (common::remove_bug(victim, refs))
        stop_last_bug(last);
}

}  // namespace terrarium

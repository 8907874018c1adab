#include "terrarium/mate_die.h"

#include <algorithm>
#include <cstdlib>

#include "common/birth.h"
#include "common/hooks.h"
#include "common/ring.h"
#include "common/rules.h"

namespace terrarium {

namespace {

void inherit(common::random_stream &random, bug *child, bug *parent, const bug *partner)
{
    child->race = parent->race;
    child->gen = parent->gen + 1;
    child->facing = random.next() % 4;
    child->age = 0;
    child->size = std::clamp(parent->size + random.next() % 11 - 5, 2, 100);
    child->vision = std::clamp(parent->vision + random.next() % 3 - 1, 1, 10);
    int food = parent->food;
    child->food = food / 3;
    parent->food = static_cast<int>((2LL * food) / 3 - 15 * parent->size);
    for (int code = 0; code < GLYPHS; code++)
        child->motive[code] = parent->motive[code] / 2;
    attraction(child, '@') += 1;
    common::mix_genes(random, child->dna, parent->dna, partner->dna, GENES);
}

}  // namespace

void mate(world &w)
{
    bug *parent = w.refs.cursor;
    const bug *partner = common::partner_of(w, parent, parent->food >= 120 * parent->size);
    bug *child = static_cast<bug *>(common::hooks.allocate(sizeof(bug)));
    if (child == nullptr)
        return;
    // A birth that finds no blank cell, or no room in the index, does not
    // happen: nothing has changed yet.
    if (!common::find_child_cell(w, parent->y, parent->x, &child->y, &child->x) || !w.index.make_room()) {
        std::free(child);
        return;
    }
    inherit(w.random, child, parent, partner);
    child->id = w.next_id++;
    common::link_after(parent, child);
    w.index.add_linked(child);
    common::tell_birth(w, child, parent, partner);
}

void die(world &w, bug *victim, const bug *killer)
{
    common::tell_death(w, victim, killer);
    bool last = victim->next == victim;  // a world seeded with one bug
    w.map.write(victim->y, victim->x, '.');
    w.index.remove(victim);
    if (common::remove_bug(victim, w.refs))
        common::end_last_bug(w, "terrarium", last);
}

}  // namespace terrarium

#include "vivarium/mate_die.h"

#include <algorithm>
#include <cstdlib>

#include "common/birth.h"
#include "common/hooks.h"
#include "common/ring.h"
#include "common/rules.h"

namespace vivarium {

namespace {

// Food from which a parent is its own partner.
constexpr int OWN_PARTNER_FOOD = 1200;
// What a birth costs the parent beyond the third of its food it hands over.
constexpr int BIRTH_COST = 200;

void inherit(common::random_stream &random, bug *child, bug *parent, const bug *partner)
{
    child->race = parent->race;
    child->food_glyph = '@';
    child->gen = parent->gen + 1;
    child->age = 0;
    child->facing = random.next() % 4;
    child->size = std::clamp(parent->size + random.next() % 3 - 1, 2, 100);
    int food = parent->food;
    child->food = food / 3;
    parent->food = static_cast<int>((2LL * food) / 3 - BIRTH_COST);
    common::mix_genes(random, child->dna, parent->dna, partner->dna, GENES);
}

}  // namespace

void mate(world &w)
{
    bug *parent = w.refs.cursor;
    const bug *partner = common::partner_of(w, parent, parent->food >= OWN_PARTNER_FOOD);
    w.population++;
    bug *child = static_cast<bug *>(common::hooks.allocate(sizeof(bug)));
    // A birth that finds no blank cell, or no memory for the child or the
    // index, does not happen: the count goes back to the ring's size.
    if (child == nullptr || !common::find_child_cell(w, parent->y, parent->x, &child->y, &child->x) ||
        !w.index.make_room()) {
        std::free(child);
        w.population--;
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
    w.population--;
    bool last = victim->next == victim;  // a world seeded with one bug
    w.map.write(victim->y, victim->x, '.');
    w.index.remove(victim);
    if (common::remove_bug(victim, w.refs))
        common::end_last_bug(w, "vivarium", last);
}

}  // namespace vivarium

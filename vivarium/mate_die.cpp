#include "vivarium/mate_die.h"

#include <cstdlib>

#include "common/birth.h"
#include "common/ring_walk.h"
#include "vivarium/findbug.h"
#include "vivarium/init.h"

namespace vivarium {

namespace {

// Food from which a parent is its own partner.
constexpr int OWN_PARTNER_FOOD = 1200;
// What a birth costs the parent beyond the third of its food it hands over.
constexpr int BIRTH_COST = 200;

int clamp(int v, int low, int high) { return v < low ? low : (v > high ? high : v); }

void inherit(bug *child, bug *parent, const bug *partner)
{
    child->race = parent->race;
    child->food_glyph = '@';
    child->gen = parent->gen + 1;
    child->age = 0;
    child->vector = std::rand() % 4;
    child->size = clamp(parent->size + std::rand() % 3 - 1, 2, 100);
    int food = parent->food;
    child->food = food / 3;
    parent->food = static_cast<int>((2LL * food) / 3 - BIRTH_COST);
    mix_genes(child->dna, parent->dna, partner->dna, GENES);
}

}  // namespace

void mate()
{
    bug *parent = bugs;
    const bug *partner = partner_of(parent, parent->food >= OWN_PARTNER_FOOD, map_rows, map_cols, findbug);
    population++;
    bug *child = static_cast<bug *>(std::malloc(sizeof(bug)));
    if (child == nullptr ||
        !find_child_cell(world_pad, map_rows, map_cols, parent->y, parent->x, &child->y, &child->x)) {
        // The birth is given up: the count goes back to the ring's size.
        std::free(child);
        population--;
        return;
    }
    inherit(child, parent, partner);
    link_after(parent, child);
    bugs_by_cell.add_linked(child);
}

void die(bug *victim)
{
    population--;
    put_glyph(victim->y, victim->x, '.');
    wrefresh(stdscr);
    bugs_by_cell.remove(victim);
    if (remove_bug(victim, {&bugs, &first, &sb, &hf, &hg, &old}))
        stop();
}

}  // namespace vivarium

#include "terrarium/mate_die.h"

#include <cstdlib>

#include "common/birth.h"
#include "common/ring_walk.h"
#include "terrarium/findbug.h"
#include "terrarium/init.h"

namespace terrarium {

namespace {

bug *partner_of(bug *parent)
{
    return ::partner_of(parent, parent->food >= 120 * parent->size, world_row, world_col, findbug);
}

int clamp(int v, int low, int high) { return v < low ? low : (v > high ? high : v); }

void inherit(bug *child, bug *parent, const bug *partner)
{
    child->race = parent->race;
    child->gen = parent->gen + 1;
    child->vector = std::rand() % 4;
    child->age = 0;
    child->size = clamp(parent->size + std::rand() % 11 - 5, 2, 100);
    child->vision = clamp(parent->vision + std::rand() % 3 - 1, 1, 10);
    int food = parent->food;
    child->food = food / 3;
    parent->food = static_cast<int>((2LL * food) / 3 - 15 * parent->size);
    for (int code = 0; code < GLYPHS; code++)
        child->motive[code] = parent->motive[code] / 2;
    attraction(child, '@') += 1;
    mix_genes(child->dna, parent->dna, partner->dna, GENES);
}

}  // namespace

void mate()
{
    bug *parent = bugs;
    const bug *partner = partner_of(parent);
    bug *child = static_cast<bug *>(std::malloc(sizeof(bug)));
    if (child == nullptr)
        return;
    if (!find_child_cell(world_pad, world_row, world_col, parent->y, parent->x, &child->y, &child->x)) {
        std::free(child);
        return;
    }
    inherit(child, parent, partner);
    link_after(parent, child);
    bugs_by_cell.add_linked(child);
}

void die(bug *victim)
{
    put_glyph(victim->y, victim->x, '.');
    bugs_by_cell.remove(victim);
    if (remove_bug(victim, {&bugs, &first, &sb, &hf, &hg, &old, &hk}))
        stop();
}

}  // namespace terrarium

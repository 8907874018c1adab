#include "terrarium/mate_die.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "common/ring.h"
#include "terrarium/findbug.h"
#include "terrarium/init.h"

namespace terrarium {

namespace {

// Tries of the child-cell search before the map is checked for any blank
// cell at all; the search goes on as long as one exists.
constexpr int TRIES_BEFORE_SCAN = 64;

bool map_has_blank()
{
    for (int row = 0; row < world_row; row++)
        for (int col = 0; col < world_col; col++)
            if (glyph_at(row, col) == ' ')
                return true;
    return false;
}

// A value drawn from the closed range between a and b taken as plain
// numbers; negative draws are drawn again.
int draw_between(int a, int b)
{
    int low = a < b ? a : b;
    int high = a < b ? b : a;
    int v;
    do
        v = low + std::rand() % (high - low + 1);
    while (v < 0);
    return v;
}

// One coordinate of a try: the box of spread k around `at`, on an axis of
// `n` cells. The low end uses the truncating remainder, as the box allows.
int draw_coordinate(int at, int n, int k)
{
    int low = (at + n - 1 - std::rand() % k) % n;
    int high = (at + 1 + std::rand() % k) % n;
    return draw_between(low, high);
}

// Finds the child's cell around the parent; false when the map has no
// blank cell left.
bool find_child_cell(const bug *parent, int *row, int *col)
{
    for (int k = 1;; k++) {
        if (k == TRIES_BEFORE_SCAN + 1 && !map_has_blank())
            return false;
        *row = draw_coordinate(parent->y, world_row, k);
        *col = draw_coordinate(parent->x, world_col, k);
        if (glyph_at(*row, *col) == ' ')
            return true;
    }
}

bug *partner_of(bug *parent)
{
    if (parent->food >= 120 * parent->size)
        return parent;
    switch (parent->vector) {
    case 0: return findbug((world_row + parent->y - 1) % world_row, parent->x);
    case 1: return findbug(parent->y, (parent->x + 1) % world_col);
    case 2: return findbug((parent->y + 1) % world_row, parent->x);
    case 3: return findbug(parent->y, (world_col + parent->x - 1) % world_col);
    default:
        std::fputs("default in mate find bugs->vector is bad\n", stderr);
        return parent;
    }
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
    for (int i = 0; i < GENES; i++) {
        int s = std::rand() % 9;
        if (s == 1 || s == 3 || s == 5)
            child->dna[i] = partner->dna[i];
        else if (s == 7)
            child->dna[i] = std::rand() % 4;
        else
            child->dna[i] = parent->dna[i];
    }
}

}  // namespace

void mate()
{
    bug *parent = bugs;
    const bug *partner = partner_of(parent);
    bug *child = static_cast<bug *>(std::malloc(sizeof(bug)));
    if (child == nullptr)
        return;
    if (!find_child_cell(parent, &child->y, &child->x)) {
        std::free(child);
        return;
    }
    inherit(child, parent, partner);
    link_after(parent, child);
}

void die(bug *victim)
{
    put_glyph(victim->y, victim->x, '.');
    for (bug **p : {&bugs, &first, &sb, &hf, &hg, &old, &hk})
        if (*p == victim)
            *p = victim->prev;
    unlink(victim);
    bool last_one = bugs->next == bugs;
    // In a ring of one the pointers could only move onto the victim itself;
    // it stays allocated, as the end is reached through stop at once.
    if (victim != bugs)
        std::free(victim);
    if (last_one)
        stop();
}

}  // namespace terrarium

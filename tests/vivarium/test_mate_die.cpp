// Birth and death in vivarium: the food split, inherited traits, the
// population count, giving a birth up, and the pointers moved at a death.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "vivarium/globals.h"
#include "vivarium/init.h"
#include "vivarium/mate_die.h"
#include "tests/support/headless.h"
#include "tests/support/vivarium_world.h"

using namespace vivarium;
using namespace vivarium_test;

namespace {

// A parent facing east at (5, 5) of a 33 x 33 map, a partner of its race
// ahead, and one bug far off. Parent genes all 0, partner genes all 1.
bug *parent_and_partner(int size, int food)
{
    blank_world(33, 33);
    bug *parent = add_bug(5, 5, 'M', 1);
    bug *partner = add_bug(5, 6, 'M');
    add_bug(30, 30, 'Q');
    parent->size = size;
    parent->food = food;
    for (int &g : partner->dna)
        g = 1;
    return parent;
}

}  // namespace

TEST(Mate, FoodSplitAndChild)
{
    struct row {
        int size, food;
        int child_food, parent_food;
        bool own_partner;
    };
    const row rows[] = {
        {10, 900, 300, 400, false},
        {80, 900, 300, 400, false},   // the cost does not depend on size
        {10, 1000, 333, 466, false},  // 666 - 200
        {10, 1199, 399, 599, false},
        {10, 1200, 400, 600, true},
        {2, 601, 200, 200, false},
    };
    for (const row &r : rows) {
        std::string name = "size " + std::to_string(r.size) + " food " + std::to_string(r.food);
        bug *parent = parent_and_partner(r.size, r.food);
        if (r.own_partner)
            parent->next->x = 20;  // nobody ahead: a lookup would stop
        bug *old_next = parent->next;
        std::srand(3);
        mate();
        bug *child = parent->next;
        ASSERT_NE(child, old_next) << name;
        EXPECT_EQ(child->next, old_next) << name << ": the ring reads parent, child, former successor";
        EXPECT_EQ(child->prev, parent) << name;
        EXPECT_EQ(child->food, r.child_food) << name;
        EXPECT_EQ(parent->food, r.parent_food) << name;
        EXPECT_EQ(child->gen, 2) << name;
        EXPECT_EQ(child->age, 0) << name;
        EXPECT_EQ(child->race, 'M') << name;
        EXPECT_EQ(child->food_glyph, '@') << name;
        EXPECT_EQ(population, 4) << name;
        EXPECT_EQ(ring_size(), 4) << name;
        EXPECT_EQ(at(child->y, child->x), ' ') << name << ": the child is not drawn";
        if (!r.own_partner) {
            bool partner_gene = false;
            for (int g : child->dna)
                partner_gene |= g == 1;
            EXPECT_TRUE(partner_gene) << name << ": about a third of the genes come from the partner";
        }
    }
    free_world();
}

TEST(Mate, SizeChangesByOneAtMostWithinTwoToHundred)
{
    struct row {
        int parent, low, high;
    };
    for (const row &r : {row{2, 2, 3}, row{100, 99, 100}, row{50, 49, 51}}) {
        int low = 1000, high = -1;
        for (unsigned seed = 1; seed <= 200; seed++) {
            bug *parent = parent_and_partner(r.parent, 2000);
            std::srand(seed);
            mate();
            low = std::min(low, parent->next->size);
            high = std::max(high, parent->next->size);
        }
        EXPECT_EQ(low, r.low) << "parent size " << r.parent;
        EXPECT_EQ(high, r.high) << "parent size " << r.parent;
    }
    free_world();
}

TEST(Mate, TheChildCellHeldBareGround)
{
    for (unsigned seed = 1; seed <= 100; seed++) {
        bug *parent = parent_and_partner(10, 900);
        for (int y = 0; y < 33; y++)
            for (int x = 0; x < 33; x++)
                put(y, x, '#');
        put(5, 6, 'M');
        put(5, 5, ' ');  // the parent's own cell, blanked for its turn
        put(6, 6, ' ');
        std::srand(seed);
        mate();
        bug *child = parent->next;
        bool own_cell = child->y == 5 && child->x == 5;
        bool other = child->y == 6 && child->x == 6;
        EXPECT_TRUE(own_cell || other) << "seed " << seed << ": child at " << child->y << "," << child->x;
    }
    free_world();
}

TEST(Mate, GivenUpOnAMapWithoutBareGround)
{
    struct row {
        const char *name;
        int food;
    };
    for (const row &r : {row{"from look", 900}, row{"its own partner", 1500}}) {
        bug *parent = parent_and_partner(10, r.food);
        for (int y = 0; y < 33; y++)
            for (int x = 0; x < 33; x++)
                put(y, x, '~');
        put(5, 6, 'M');
        bug *next = parent->next;
        std::srand(1);
        mate();
        EXPECT_EQ(parent->next, next) << r.name;
        EXPECT_EQ(parent->food, r.food) << r.name;
        EXPECT_EQ(population, 3) << r.name;
        EXPECT_EQ(ring_size(), 3) << r.name;
    }
    free_world();
}

TEST(Die, CountsMovesPointersAndLeavesASeedling)
{
    blank_world(17, 17);
    bug *a = add_bug(1, 1, 'A');
    bug *b = add_bug(2, 2, 'B');
    bug *c = add_bug(3, 3, 'C');
    put(2, 2, 'B');
    bugs = first = sb = hf = hg = old = b;
    die(b);
    EXPECT_EQ(population, 2);
    EXPECT_EQ(ring_size(), 2);
    EXPECT_EQ(at(2, 2), '.');
    for (bug *p : {bugs, first, sb, hf, hg, old})
        EXPECT_EQ(p, a) << "every pointer moves to the predecessor";
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(c->prev, a);
    free_world();
}

TEST(Die, TheLastButOneEndsTheProgram)
{
    blank_world(17, 17);
    bug *a = add_bug(1, 1, 'A');
    bug *b = add_bug(2, 2, 'B');
    try {
        die(b);
        FAIL() << "a single bug left goes on";
    } catch (const stop_seen &s) {
        EXPECT_EQ(s.status, 0);
        EXPECT_EQ(s.message, "");
    }
    EXPECT_EQ(population, 1);
    EXPECT_EQ(bugs, a);
    EXPECT_EQ(a->next, a);
    free_world();
}

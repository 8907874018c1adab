// Birth, death and the lookup of a bug by its cell.
#include <gtest/gtest.h>

#include <cstdlib>

#include "terrarium/driver.h"
#include "terrarium/findbug.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "terrarium/mate_die.h"
#include "tests/support/headless.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using namespace terrarium_test;

namespace {

// A parent facing east at (5, 5) with a partner of its race ahead.
bug *parent_and_partner(int size, int food)
{
    blank_world(40, 40);
    bug *parent = add_bug(5, 5, 'M', 1);
    bug *partner = add_bug(5, 6, 'M');
    add_bug(30, 30, 'Q');
    parent->size = size;
    parent->food = food;
    for (int &g : parent->dna)
        g = 0;
    for (int &g : partner->dna)
        g = 1;
    return parent;
}

}  // namespace

TEST(Mate, FoodSplitAndPartner)
{
    struct row {
        int size, food;
        int child_food, parent_food;
        bool self_partner;
    };
    const row rows[] = {
        {10, 900, 300, 450, false},
        {10, 1200, 400, 650, true},
        {10, 1000, 333, 516, false},  // 666 - 150
    };
    for (const row &r : rows) {
        bug *parent = parent_and_partner(r.size, r.food);
        bug *old_next = parent->next;
        std::srand(3);
        mate();
        bug *child = parent->next;
        ASSERT_NE(child, old_next);
        EXPECT_EQ(child->next, old_next) << "the ring reads parent, child, former successor";
        EXPECT_EQ(old_next->prev, child);
        EXPECT_EQ(child->prev, parent);
        EXPECT_EQ(child->food, r.child_food) << "food " << r.food;
        EXPECT_EQ(parent->food, r.parent_food) << "food " << r.food;
        EXPECT_EQ(child->gen, 2);
        EXPECT_EQ(child->age, 0);
        EXPECT_EQ(child->race, 'M');
        bool any_partner_gene = false;
        for (int g : child->dna)
            any_partner_gene |= g == 1;
        if (r.self_partner)
            EXPECT_FALSE(any_partner_gene) << "its own partner: no gene 1 from the partner";
        else
            EXPECT_TRUE(any_partner_gene) << "about a third of the genes come from the partner";
        free_world();
    }
}

TEST(Mate, InheritedTraitsStayInRange)
{
    for (int parent_size : {2, 100}) {
        for (int parent_vision : {1, 10}) {
            int min_size = 200, max_size = -1, min_vision = 200, max_vision = -1;
            for (unsigned seed = 1; seed <= 200; seed++) {
                bug *parent = parent_and_partner(parent_size, 10000 * parent_size);
                parent->vision = parent_vision;
                std::srand(seed);
                mate();
                const bug *child = parent->next;
                min_size = std::min(min_size, child->size);
                max_size = std::max(max_size, child->size);
                min_vision = std::min(min_vision, child->vision);
                max_vision = std::max(max_vision, child->vision);
                free_world();
            }
            std::string name = "size " + std::to_string(parent_size) + " vision " + std::to_string(parent_vision);
            EXPECT_EQ(min_size, parent_size == 2 ? 2 : 95) << name;
            EXPECT_EQ(max_size, parent_size == 2 ? 7 : 100) << name;
            EXPECT_EQ(min_vision, parent_vision == 1 ? 1 : 9) << name;
            EXPECT_EQ(max_vision, parent_vision == 1 ? 2 : 10) << name;
        }
    }
}

TEST(Mate, MotivesAreHalvedAndFoodGetsOne)
{
    bug *parent = parent_and_partner(10, 1200);
    attraction(parent, 'A') = 1;
    attraction(parent, 'B') = -1;
    attraction(parent, 'C') = -7;
    attraction(parent, 'D') = 15;
    attraction(parent, '@') = -20;
    mate();
    const bug *child = parent->next;
    EXPECT_EQ(attraction(child, 'A'), 0);
    EXPECT_EQ(attraction(child, 'B'), 0);
    EXPECT_EQ(attraction(child, 'C'), -3);
    EXPECT_EQ(attraction(child, 'D'), 7);
    EXPECT_EQ(attraction(child, '@'), -9);
    attraction(parent, '@') = 15;
    parent->food = 1200;
    mate();
    EXPECT_EQ(attraction(parent->next, '@'), 8);
    free_world();
}

TEST(Mate, FirstTryIsTheBoxAroundTheParent)
{
    // Birth through look: the parent's own cell is blank during its turn,
    // so on open ground the first try (spread 1) always succeeds.
    bool on_parent_cell = false;
    for (unsigned seed = 1; seed <= 100; seed++) {
        blank_world(40, 40);
        bug *parent = add_bug(5, 5, 'M');
        add_bug(20, 20, 'Q');
        parent->food = 5000;
        std::srand(seed);
        mate();
        const bug *child = parent->next;
        EXPECT_GE(child->y, 4) << "seed " << seed;
        EXPECT_LE(child->y, 6) << "seed " << seed;
        EXPECT_GE(child->x, 4) << "seed " << seed;
        EXPECT_LE(child->x, 6) << "seed " << seed;
        on_parent_cell |= child->y == 5 && child->x == 5;
        free_world();
    }
    EXPECT_TRUE(on_parent_cell) << "parent and child may share the cell";
}

TEST(Mate, ChildNeverLandsOnANonBlankCell)
{
    for (unsigned seed = 1; seed <= 100; seed++) {
        blank_world(9, 9);
        for (int r = 3; r <= 7; r++)
            for (int c = 3; c <= 7; c++)
                put(r, c, '#');
        bug *parent = add_bug(5, 5, 'M');
        add_bug(0, 0, 'Q');
        parent->food = 5000;
        put(5, 5, 'M');
        std::srand(seed);
        mate();
        const bug *child = parent->next;
        EXPECT_EQ(at(child->y, child->x), ' ') << "seed " << seed;
        free_world();
    }
}

TEST(Mate, ParentOnRowZeroPlacesItsChildAwayFromItsRow)
{
    for (unsigned seed = 1; seed <= 100; seed++) {
        blank_world(40, 40);
        bug *parent = add_bug(0, 5, 'M');
        add_bug(20, 20, 'Q');
        parent->food = 5000;
        put(0, 5, 'M');
        std::srand(seed);
        mate();
        const bug *child = parent->next;
        EXPECT_GE(child->y, 1) << "seed " << seed;
        EXPECT_LE(child->y, 39);
        free_world();
    }
}

TEST(Mate, NoBlankCellGivesTheBirthUp)
{
    blank_world(12, 12);
    for (int r = 0; r < 12; r++)
        for (int c = 0; c < 12; c++)
            put(r, c, '~');
    bug *parent = add_bug(5, 5, 'M');
    add_bug(8, 8, 'Q');
    parent->food = 5000;
    put(5, 5, 'M');
    mate();
    EXPECT_EQ(ring_size(), 2);
    EXPECT_EQ(parent->food, 5000) << "the parent keeps its food";
    put(11, 0, ' ');  // one blank cell far away: the search finds it
    mate();
    EXPECT_EQ(ring_size(), 3);
    EXPECT_EQ(parent->next->y, 11);
    EXPECT_EQ(parent->next->x, 0);
    free_world();
}

TEST(Die, PointersMoveToThePredecessor)
{
    blank_world(10, 10);
    bug *a = add_bug(1, 1, 'A');
    bug *b = add_bug(2, 2, 'B');
    bug *c = add_bug(3, 3, 'C');
    first = sb = hf = hg = old = hk = bugs = b;
    put(2, 2, 'B');
    die(b);
    for (bug *p : {bugs, first, sb, hf, hg, old, hk})
        EXPECT_EQ(p, a);
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(c->prev, a);
    EXPECT_EQ(at(2, 2), '.');
    EXPECT_EQ(ring_size(), 2);
    free_world();
}

TEST(Die, TheLastButOneDeathStops)
{
    blank_world(10, 10);
    bug *a = add_bug(1, 1, 'A');
    bug *b = add_bug(2, 2, 'B');
    try {
        die(b);
        FAIL() << "a ring of one must stop";
    } catch (const stop_seen &s) {
        EXPECT_EQ(s.status, 0);
        EXPECT_EQ(s.message, "");
    }
    EXPECT_EQ(bugs, a);
    EXPECT_EQ(a->next, a);
    free_world();
}

TEST(Findbug, FirstInRingOrderFromTheCursor)
{
    blank_world(10, 10);
    bug *a = add_bug(4, 4, 'A');
    bug *b = add_bug(7, 7, 'B');
    bug *c = add_bug(7, 7, 'C');
    EXPECT_EQ(findbug(4, 4), a) << "the cursor's own cell without walking";
    EXPECT_EQ(findbug(7, 7), b);
    bugs = c;
    EXPECT_EQ(findbug(7, 7), c) << "the walk starts at the cursor";
    bugs = a;
    try {
        findbug(1, 2);
        FAIL() << "a cell without a bug must stop";
    } catch (const stop_seen &s) {
        EXPECT_EQ(s.status, 10);
        EXPECT_EQ(s.message,
                  "this bug if fucked\nbug x =4\nbug y =4\nbug v =0\nlook x =2\nlook y =1\n");
    }
    free_world();
}

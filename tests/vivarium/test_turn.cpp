// The earlier main loop: action costs, movement with wrap-around, the
// redraw without highlight, and the order of the ageing step.
#include <gtest/gtest.h>

#include <string>

#include "common/decide.h"
#include "common/loop.h"
#include "vivarium/driver.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"
#include "tests/support/headless.h"
#include "tests/support/vivarium_world.h"

using namespace vivarium;
using namespace vivarium_test;

namespace {

// Three bugs far apart on a blank 17 x 17 map, every gene REST, so that
// nothing they see moves them: A (first and every pointer), B, C.
struct three {
    bug *a, *b, *c;
};

three three_bugs()
{
    blank_world(17, 17);
    three t{add_bug(2, 2, 'A'), add_bug(8, 8, 'B'), add_bug(14, 14, 'C')};
    common::phase = 0;
    return t;
}

// Runs the loop up to the next pass boundary.
void to_next_boundary()
{
    do
        loop_step(nullptr);
    while (bugs != first);
}

}  // namespace

TEST(Turn, CostsAndMovement)
{
    struct row {
        int size, food, vector, gene;
        int y, x;  // where the bug stands
        int food_after, vector_after, y_after, x_after;
    };
    const row rows[] = {
        {10, 100, 0, REST, 5, 5, 98, 0, 5, 5},
        {10, 100, 0, TURN_LEFT, 5, 5, 97, 3, 5, 5},  // 100 - 2.2
        {10, 100, 0, TURN_RIGHT, 5, 5, 97, 1, 5, 5},
        {10, 100, 0, STEP, 5, 5, 97, 0, 4, 5},       // 100 - 2.6
        {2, 1, 0, REST, 5, 5, 0, 0, 5, 5},           // unit 1.30103
        {2, 0, 0, REST, 5, 5, -1, 0, 5, 5},
        {100, 100, 1, STEP, 5, 5, 96, 1, 5, 6},       // 100 - 3.9
        {10, 100, 1, STEP, 3, 16, 97, 1, 3, 0},       // east from the last column
        {10, 100, 0, STEP, 0, 3, 97, 0, 16, 3},       // north from row 0
        {10, 100, 2, STEP, 16, 3, 97, 2, 0, 3},       // south from the last row
        {10, 100, 3, STEP, 3, 0, 97, 3, 3, 16},       // west from column 0
        {10, 100, 3, TURN_LEFT, 3, 0, 97, 2, 3, 0},
        {10, 100, 3, TURN_RIGHT, 3, 0, 97, 0, 3, 0},
    };
    for (const row &r : rows) {
        std::string name = "size " + std::to_string(r.size) + " food " + std::to_string(r.food) + " gene " +
                           std::to_string(r.gene) + " facing " + std::to_string(r.vector);
        blank_world(17, 17);
        bug *b = add_bug(r.y, r.x, 'K', r.vector);
        b->size = r.size;
        b->food = r.food;
        for (int &g : b->dna)
            g = r.gene;
        common::phase = 7;
        turn();
        EXPECT_EQ(b->food, r.food_after) << name;
        EXPECT_EQ(b->vector, r.vector_after) << name;
        EXPECT_EQ(b->y, r.y_after) << name;
        EXPECT_EQ(b->x, r.x_after) << name;
        EXPECT_EQ(at(b->y, b->x), 'K') << name;
        if (b->y != r.y || b->x != r.x) {
            EXPECT_EQ(at(r.y, r.x), ' ') << name << ": the old cell is blanked";
        }
    }
    free_world();
}

TEST(Turn, TheSelectedBugIsNotHighlighted)
{
    blank_world(17, 17);
    bug *b = add_bug(4, 4, 'K');
    ASSERT_EQ(sb, b);
    turn();
    chtype cell = mvwinch(world_pad, 4, 4);
    EXPECT_EQ(static_cast<char>(cell & A_CHARTEXT), 'K');
    EXPECT_EQ(cell & A_STANDOUT, 0u);
    free_world();
}

TEST(Ageing, BirthNeedsTwelveHundredWhateverTheSize)
{
    struct row {
        int size, food;
        bool birth;
    };
    const row rows[] = {{100, 1199, false}, {100, 1200, true}, {2, 1199, false}, {2, 1200, true}, {50, 5000, true}};
    for (const row &r : rows) {
        three t = three_bugs();
        bugs = t.b;
        t.b->size = r.size;
        t.b->food = r.food;
        ageing_step();
        std::string name = "size " + std::to_string(r.size) + " food " + std::to_string(r.food);
        EXPECT_EQ(population, r.birth ? 4 : 3) << name;
        EXPECT_EQ(ring_size(), population) << name;
        EXPECT_EQ(t.b->age, 1) << name;
    }
    free_world();
}

TEST(Ageing, StarvationAndTrackers)
{
    struct row {
        const char *name;
        int food, age, gen;  // of B, against A's 1000, 0, 1
        bool dies;
        bool hf, hg, old;    // B becomes the holder
    };
    const row rows[] = {
        {"food 0 dies", 0, 0, 1, true, false, false, false},
        {"food -3 dies", -3, 0, 1, true, false, false, false},
        {"food 1 lives", 1, 0, 1, false, false, false, true},  // age 1 beats A's 0
        {"ties keep the holder", 1000, -1, 1, false, false, false, false},
        {"more of each", 1001, 5, 2, false, true, true, true},
    };
    for (const row &r : rows) {
        three t = three_bugs();
        t.b->food = r.food;
        t.b->age = r.age;
        t.b->gen = r.gen;
        bugs = t.b;
        ageing_step();
        EXPECT_EQ(population, r.dies ? 2 : 3) << r.name;
        if (r.dies)
            continue;
        EXPECT_EQ(hf == t.b, r.hf) << r.name;
        EXPECT_EQ(hg == t.b, r.hg) << r.name;
        EXPECT_EQ(old == t.b, r.old) << r.name;
    }
    free_world();
}

TEST(Ageing, TheSelectedBugStarvingResetsTheLabel)
{
    three t = three_bugs();
    sb = t.b;
    common::track_label = "hf ";
    t.b->food = 0;
    bugs = t.b;
    ageing_step();
    EXPECT_STREQ(common::track_label, "xx ");
    EXPECT_EQ(sb, t.a);
    free_world();
}

TEST(Ageing, AStarvingBugHandsItsStepBackToItsPredecessor)
{
    // B starves right after `first` (A): the cursor goes back to A, which
    // mates again, grows the food again and is weighed by the trackers
    // again, with its food after the birth.
    three t = three_bugs();
    t.a->food = 3000;
    t.c->food = 800;
    hf = t.c;
    t.b->food = 0;
    put(0, 16, '.');
    bugs = t.b;
    ageing_step();
    EXPECT_EQ(bugs, t.a);
    EXPECT_EQ(population, 3) << "B gone, a child of A";
    EXPECT_EQ(ring_size(), 3);
    EXPECT_NE(t.a->next, t.c) << "A's child stands after A";
    EXPECT_EQ(t.a->food, 1800);
    EXPECT_EQ(at(0, 16), '*') << "A is first: food grows";
    EXPECT_EQ(hf, t.a);
    free_world();
}

TEST(Ageing, FoodGrowsTwiceInThePassOfThatDeath)
{
    struct row {
        const char *name;
        int b_food;
        char after;
    };
    const row rows[] = {
        {"nobody starves", 1000, '*'},
        {"the bug after first starves", 0, '@'},
    };
    for (const row &r : rows) {
        three t = three_bugs();
        t.b->food = r.b_food;
        put(0, 16, '.');
        common::phase = 24;  // the next boundary opens an ageing pass
        to_next_boundary();
        EXPECT_EQ(common::phase, 0) << r.name;
        EXPECT_EQ(at(0, 16), r.after) << r.name;
    }
    free_world();
}

TEST(Ageing, FirstStarvingMovesThePassMarker)
{
    three t = three_bugs();
    t.a->food = 0;
    put(0, 16, '.');
    common::phase = 24;
    to_next_boundary();
    EXPECT_EQ(first, t.c);
    EXPECT_EQ(population, 2);
    EXPECT_EQ(at(0, 16), '*') << "food grows once in that pass";
    EXPECT_EQ(at(2, 2), '*') << "the dead bug's seedling grows in the same step";
    free_world();
}

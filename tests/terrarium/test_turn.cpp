// The turn rules of the main loop: costs, movement with wrap-around, the
// vision rule, the redraw, and the ageing step.
#include <gtest/gtest.h>

#include "terrarium/driver.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "tests/support/headless.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using namespace terrarium_test;

namespace {

// A lone bug on blank ground sees nothing, so it follows its gene.
bug *lone_bug(int rows, int cols, int y, int x, int vector, int gene)
{
    blank_world(rows, cols);
    bug *b = add_bug(y, x, 'B', vector);
    for (int &g : b->dna)
        g = gene;
    return b;
}

}  // namespace

TEST(Turn, StepsWrapAtAllFourEdges)
{
    struct row {
        int y, x, vector;
        int want_y, want_x;
    };
    const row rows[] = {
        {0, 3, 0, 5, 3},  // north from row 0: last row
        {2, 6, 1, 2, 0},  // east from the last column: column 0
        {5, 3, 2, 0, 3},  // south from the last row: row 0
        {2, 0, 3, 2, 6},  // west from column 0: last column
    };
    for (const row &r : rows) {
        bug *b = lone_bug(6, 7, r.y, r.x, r.vector, STEP);
        turn();
        EXPECT_EQ(b->y, r.want_y) << "facing " << r.vector;
        EXPECT_EQ(b->x, r.want_x) << "facing " << r.vector;
        EXPECT_EQ(at(r.want_y, r.want_x), 'B');
        EXPECT_EQ(at(r.y, r.x), ' ') << "the cell left behind is blank";
        free_world();
    }
}

TEST(Turn, CostsTruncateTowardZero)
{
    struct row {
        int gene, size, food, want_food;
    };
    const row rows[] = {
        {REST, 10, 100, 98},       {TURN_LEFT, 10, 100, 97}, {TURN_RIGHT, 10, 100, 97},
        {STEP, 10, 100, 97},       {REST, 2, 1, 0},          {REST, 2, 0, -1},
        {STEP, 100, 1000, 995},    {TURN_LEFT, 2, 10, 8},
    };
    for (const row &r : rows) {
        bug *b = lone_bug(9, 9, 4, 4, 1, r.gene);
        b->size = r.size;
        b->food = r.food;
        b->vision = 1;
        turn();
        EXPECT_EQ(b->food, r.want_food) << "gene " << r.gene << " size " << r.size << " food " << r.food;
        free_world();
    }
}

TEST(Turn, TurnsChangeFacingAndFourComeBack)
{
    bug *b = lone_bug(9, 9, 4, 4, 0, TURN_LEFT);
    turn();
    EXPECT_EQ(b->vector, 3);
    for (int i = 0; i < 3; i++)
        turn();
    EXPECT_EQ(b->vector, 0);
    for (int &g : b->dna)
        g = TURN_RIGHT;
    turn();
    EXPECT_EQ(b->vector, 1);
    free_world();
}

TEST(Turn, VisionStaysWithinOneAndRootOfSize)
{
    struct row {
        int gene, size, vision, want;
    };
    const row rows[] = {
        {REST, 2, 1, 1},     // raised to 2, lowered again: sqrt(2) < 2
        {STEP, 2, 1, 1},     // lowered to 0, raised again
        {REST, 100, 9, 10},  // a size 100 bug reaches 10 by resting
        {REST, 100, 10, 10}, // but not 11
        {STEP, 4, 10, 8},    // far outside: back by one unit per turn
        {TURN_LEFT, 9, 3, 3},
    };
    for (const row &r : rows) {
        bug *b = lone_bug(30, 30, 10, 10, 1, r.gene);
        b->size = r.size;
        b->vision = r.vision;
        turn();
        EXPECT_EQ(b->vision, r.want) << "gene " << r.gene << " size " << r.size << " vision " << r.vision;
        free_world();
    }
}

TEST(Turn, SelectedBugIsDrawnInStandout)
{
    blank_world(9, 9);
    bug *a = add_bug(1, 1, 'A', 1);
    bug *b = add_bug(5, 5, 'B', 1);
    for (bug *x : {a, b})
        for (int &g : x->dna)
            g = REST;
    sb = b;
    turn();  // the cursor moves on from `bugs` (a) to b
    EXPECT_TRUE(mvwinch(world_pad, 5, 5) & A_STANDOUT);
    turn();
    EXPECT_FALSE(mvwinch(world_pad, 1, 1) & A_STANDOUT);
    EXPECT_EQ(at(1, 1), 'A');
    free_world();
}

TEST(Ageing, ThresholdsForBirthAndDeath)
{
    struct row {
        int food;
        bool born, dies;
    };
    const row rows[] = {
        {1200, true, false}, {1199, false, false}, {1, false, false}, {0, false, true}, {-5, false, true},
    };
    for (const row &r : rows) {
        blank_world(12, 12);
        add_bug(1, 1, 'A');
        add_bug(6, 6, 'C');
        bug *b = add_bug(9, 9, 'D');
        b->size = 10;
        b->food = r.food;
        bugs = b;
        ageing_step();
        int n = ring_size();
        EXPECT_EQ(n, 3 + (r.born ? 1 : 0) - (r.dies ? 1 : 0)) << "food " << r.food;
        if (!r.dies) {
            EXPECT_EQ(b->age, 1);
            if (r.born) {
                EXPECT_EQ(b->next->gen, 2) << "the newborn follows its parent";
            }
        } else {
            EXPECT_EQ(at(9, 9), '.') << "a dead bug leaves a seedling";
        }
        free_world();
    }
}

TEST(Ageing, TrackersUseStrictComparisons)
{
    blank_world(12, 12);
    bug *a = add_bug(1, 1, 'A');
    bug *b = add_bug(6, 6, 'C');
    a->food = b->food = 500;
    a->gen = b->gen = 3;
    a->age = b->age = 7;  // b becomes 8 at its step and overtakes
    bugs = b;
    ageing_step();
    EXPECT_EQ(hf, a) << "equal food keeps the holder";
    EXPECT_EQ(hg, a) << "equal generation keeps the holder";
    EXPECT_EQ(old, b);
    attraction(b, '@') = 3;
    ageing_step();
    EXPECT_EQ(hk, b) << "a lower attraction to ripe food takes hk";
    free_world();
}

TEST(Ageing, SelectedBugStarvingResetsTheLabel)
{
    blank_world(12, 12);
    bug *a = add_bug(1, 1, 'A');
    bug *b = add_bug(6, 6, 'C');
    add_bug(9, 9, 'E');
    sb = b;
    track_label = "hf ";
    b->food = 0;
    bugs = b;
    ageing_step();
    EXPECT_STREQ(track_label, "xx ");
    EXPECT_EQ(sb, a) << "the selection moves to the dead bug's predecessor";
    EXPECT_EQ(bugs, a);
    free_world();
}

TEST(Ageing, FoodGrowsOnceAtTheStartOfTheAgeingPass)
{
    blank_world(12, 12);
    add_bug(1, 1, 'A');
    add_bug(6, 6, 'C');
    put(10, 10, '.');
    phase = 24;  // the next boundary opens an ageing pass
    loop_step(nullptr);
    EXPECT_EQ(phase, 0);
    EXPECT_EQ(at(10, 10), '*');
    loop_step(nullptr);  // the second bug's ageing step: no growth
    EXPECT_EQ(at(10, 10), '*');
    free_world();
}

TEST(Loop, FirstIterationIsABoundaryAndPhaseCountsPasses)
{
    blank_world(12, 12);
    add_bug(1, 1, 'A');
    add_bug(6, 6, 'C');
    add_bug(9, 9, 'E');
    int boundaries = 0;
    for (int i = 0; i < 3 * 30; i++) {
        if (bugs == first)
            boundaries++;
        loop_step(nullptr);
    }
    EXPECT_EQ(boundaries, 30);
    EXPECT_EQ(phase, 30 % 25);
    free_world();
}

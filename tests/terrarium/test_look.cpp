// Perception (cells relative to the facing, rays, weights) and the
// encounters settled by look: mating, eating and fighting.
#include <gtest/gtest.h>

#include "terrarium/driver.h"
#include "terrarium/findbug.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "terrarium/look.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using namespace terrarium_test;

TEST(Look, DirectionTableRepeatsEveryFour)
{
    const int want[] = {-1, 0, 1, 0, -1, 0, 1, 0};
    for (int d = 0; d < 8; d++)
        EXPECT_EQ(look_c(d), want[d]) << "d " << d;
}

TEST(Look, GlyphClasses)
{
    for (int c = 1; c < 256; c++) {
        char g = static_cast<char>(c);
        bool letter = c >= 'A' && c <= 'Z';
        EXPECT_EQ(is_bug(g), letter ? 1 : 0) << c;
        EXPECT_EQ(is_pass(g), (letter || g == '~' || g == '#') ? 0 : 1) << c;
    }
}

TEST(Look, PeekIsRelativeToTheFacingAndWraps)
{
    blank_world(6, 8);
    bug *b = add_bug(0, 0, 'M');
    put(5, 0, 'n');  // north of (0,0) across the edge
    put(0, 7, 'w');  // west of (0,0) across the edge
    put(1, 1, 'e');  // ahead and one to the right when facing east
    put(5, 7, 'x');  // facing west: ahead is (0,7); one to the right is (5,7)
    struct row {
        int vector, a, b;
        char want;
    };
    const row rows[] = {{0, 1, 0, 'n'}, {3, 1, 0, 'w'}, {1, 1, 1, 'e'}, {3, 1, 1, 'x'}, {2, 1, 0, ' '}};
    for (const row &r : rows) {
        b->vector = r.vector;
        EXPECT_EQ(peek(r.a, r.b), r.want) << "vector " << r.vector << " peek(" << r.a << "," << r.b << ")";
    }
    free_world();
}

TEST(Look, WeightsForHungryAndWellFedBugs)
{
    blank_world(5, 5);
    bug *b = add_bug(2, 2, 'M');
    b->size = 10;
    struct row {
        int food;
        char glyph;
        int depth;
        float want;
    };
    const row rows[] = {
        {599, '@', 3, 5.0f},  {600, '@', 3, 2.5f},   {700, 'M', 2, 50.0f}, {600, 'M', 2, 0.0f},
        {599, 'M', 2, 2.5f},  {700, 'Q', 1, 2.5f},   {100, ' ', 1, 0.0f},  {100, '@', 7, 15.0f / 7},
    };
    for (const row &r : rows) {
        b->food = r.food;
        EXPECT_EQ(motivate(r.glyph, r.depth), r.want) << "food " << r.food << " glyph " << r.glyph;
    }
    attraction(b, '~') = -6;
    b->food = 0;
    EXPECT_EQ(motivate('~', 4), -1.5f) << "negative attractions repel";
    free_world();
}

TEST(Look, RaysStopAtBlockersAndVision)
{
    blank_world(20, 20);
    bug *b = add_bug(10, 10, 'M', 1);  // facing east
    b->food = 0;                        // hungry: '@' weighs 15 / depth
    b->vision = 4;
    put(10, 11, '@');
    put(10, 13, '@');
    put(10, 15, '@');  // depth 5: beyond vision
    EXPECT_EQ(look_b(1, 1, 0, 1), 15.0f + 5.0f);
    put(10, 12, '~');  // water at depth 2 ends the ray there
    EXPECT_EQ(look_b(1, 1, 0, 1), 15.0f);
    put(10, 12, 'Q');  // so does any bug, its own weight counted
    EXPECT_EQ(look_b(1, 1, 0, 1), 15.0f + 2.5f);
    b->vision = 1;
    EXPECT_EQ(look_b(1, 1, 0, 1), 15.0f) << "vision 1: the start cell only";
    EXPECT_EQ(look_b(3, 1, 0, 1), 5.0f) << "a start beyond vision still counts its cell";
    free_world();
}

TEST(Look, RaysGoRoundMapsSmallerThanTheVision)
{
    blank_world(2, 5);  // fewer rows than the vision
    bug *b = add_bug(0, 2, 'M', 0);  // facing north
    b->food = 0;
    b->vision = 5;
    put(1, 2, '@');
    // Row 0 - d wraps to 1, 0, 1, 0, 1: ripe food at depths 1, 3 and 5.
    EXPECT_FLOAT_EQ(look_b(1, 0, -1, 0), 15.0f + 5.0f + 3.0f);
    blank_world(3, 1);
    b = add_bug(0, 0, 'M', 1);  // facing east on a map one cell wide
    b->food = 0;
    b->vision = 3;
    EXPECT_EQ(look_b(1, 1, 0, 1), 0.0f) << "its own blank cell, three times";
    free_world();
}

TEST(Encounter, MatingNeedsMoreThanSixtyTimesSize)
{
    for (int food : {600, 601}) {
        blank_world(10, 10);
        bug *me = add_bug(5, 5, 'M', 1);
        add_bug(5, 6, 'M', 2);
        put(5, 6, 'M');
        me->size = 10;
        me->food = food;
        attraction(me, 'M') = -3;  // mating does not depend on the attraction
        int action = look(0);
        EXPECT_EQ(ring_size(), food > 600 ? 3 : 2) << "food " << food;
        if (food > 600) {
            EXPECT_EQ(action, REST);
            EXPECT_EQ(me->next->gen, 2);
        }
        EXPECT_NE(action, STEP);
        free_world();
    }
}

TEST(Encounter, EatingRipeFood)
{
    blank_world(10, 10);
    bug *me = add_bug(5, 5, 'M', 0);
    add_bug(1, 1, 'Q');
    put(4, 5, '@');
    me->food = 100;
    EXPECT_EQ(look(0), STEP);
    EXPECT_EQ(me->food, 115);
    attraction(me, '@') = 0;
    for (int &g : me->dna)
        g = REST;
    EXPECT_EQ(look(0), REST) << "no attraction, no meal: the gene decides";
    EXPECT_EQ(me->food, 115);
    free_world();
}

TEST(Encounter, FightsAndTheirLessons)
{
    struct row {
        int victim_food, attacker_food_motive;
        bool killed;
    };
    const row rows[] = {{15, 15, true}, {20, 15, false}, {15, -4, true}};
    for (const row &r : rows) {
        blank_world(10, 10);
        bug *me = add_bug(5, 5, 'M', 1);
        add_bug(1, 1, 'P');
        bug *victim = add_bug(5, 6, 'Q');
        put(5, 6, 'Q');
        me->size = 20;
        me->food = 100;
        me->vision = 4;
        attraction(me, '@') = r.attacker_food_motive;
        victim->size = 10;
        victim->food = r.victim_food;
        int victim_motive_before = attraction(victim, 'M');
        EXPECT_EQ(look(0), REST);
        EXPECT_EQ(me->vision, 3);
        if (r.killed) {
            EXPECT_EQ(ring_size(), 2);
            EXPECT_EQ(at(5, 6), '.');
            EXPECT_EQ(me->food, 700);
            EXPECT_EQ(attraction(me, 'Q'), 15);
            EXPECT_EQ(attraction(me, '@'), r.attacker_food_motive - 10);
        } else {
            EXPECT_EQ(ring_size(), 3);
            EXPECT_EQ(victim->food, 0) << "0 survives";
            EXPECT_EQ(me->food, 100);
            int want = victim_motive_before - (r.attacker_food_motive < 0 ? 20 : 0);
            EXPECT_EQ(attraction(victim, 'M'), want);
        }
        free_world();
    }
}

TEST(Encounter, NoAttackWithoutAttractionAndNoStepIntoBlockers)
{
    for (char ahead : {'Q', '~', '#', 'M'}) {
        blank_world(10, 10);
        bug *me = add_bug(5, 5, 'M', 1);
        bug *other = add_bug(5, 6, ahead == 'M' ? 'M' : 'Q');
        put(5, 6, ahead);
        attraction(me, 'Q') = 0;
        me->food = 100;
        for (int &g : me->dna)
            g = STEP;
        int food_before = other->food;
        for (int i = 0; i < 50; i++)
            EXPECT_NE(look(i % 25), STEP) << "ahead " << ahead;
        EXPECT_EQ(other->food, food_before) << "ahead " << ahead;
        free_world();
    }
}

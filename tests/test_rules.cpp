// The rules of a turn, the ageing step, birth, death and the lookup, on
// hand-made worlds, with values worked out by hand.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "common/hooks.h"
#include "terrarium/findbug.h"
#include "tests/support/world.h"

using common::REST;
using common::STEP;
using common::TURN_LEFT;
using common::TURN_RIGHT;

namespace {

template <class Bug>
void set_genes(Bug *b, int gene)
{
    for (auto &g : b->dna)
        g = static_cast<common::gene_t>(gene);
}

bool is_terrarium(terrarium_side) { return true; }
bool is_terrarium(vivarium_side) { return false; }

}  // namespace

TEST(Turn, CostsMovesAndWrapsAtEveryEdge)
{
    struct row {
        int gene, vector, y, x, size, food;
        int terrarium_food, vivarium_food;  // unit log10(size) + 1 times 1/1.2/1.5, 1/1.1/1.3
        int vector_after, y_after, x_after;
    };
    const row rows[] = {
        {REST, 0, 3, 3, 10, 100, 98, 98, 0, 3, 3},
        {TURN_LEFT, 0, 3, 3, 10, 100, 97, 97, 3, 3, 3},   // 97.6 and 97.8 truncate
        {TURN_RIGHT, 3, 3, 3, 10, 100, 97, 97, 0, 3, 3},
        {STEP, 0, 0, 3, 10, 100, 97, 97, 0, 5, 3},        // north from row 0: the last row
        {STEP, 1, 2, 6, 10, 100, 97, 97, 1, 2, 0},        // east from the last column
        {STEP, 2, 5, 3, 10, 100, 97, 97, 2, 0, 3},        // south from the last row
        {STEP, 3, 2, 0, 10, 100, 97, 97, 3, 2, 6},        // west from column 0
        {REST, 0, 3, 3, 2, 1, 0, 0, 0, 3, 3},             // 1 - 1.30103 truncates to 0
        {REST, 0, 3, 3, 2, 0, -1, -1, 0, 3, 3},
        {STEP, 1, 3, 3, 100, 1000, 995, 996, 1, 3, 4},    // 1000 - 4.5, 1000 - 3.9
        {TURN_LEFT, 2, 3, 3, 2, 10, 8, 8, 1, 3, 3},       // 10 - 1.56, 10 - 1.43
    };
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            std::string name = std::string(S::name) + " gene " + std::to_string(r.gene) + " facing " +
                               std::to_string(r.vector) + " size " + std::to_string(r.size);
            S::blank(6, 7);
            auto *b = S::add(r.y, r.x, 'B', r.vector);
            b->size = r.size;
            b->food = r.food;
            set_genes(b, r.gene);
            S::turn();
            EXPECT_EQ(b->food, is_terrarium(side) ? r.terrarium_food : r.vivarium_food) << name;
            EXPECT_EQ(b->vector, r.vector_after) << name;
            EXPECT_EQ(b->y, r.y_after) << name;
            EXPECT_EQ(b->x, r.x_after) << name;
            EXPECT_EQ(common::cell_read(b->y, b->x), 'B') << name;
            if (b->y != r.y || b->x != r.x) {
                EXPECT_EQ(common::cell_read(r.y, r.x), ' ') << name << ": the cell left is blank";
            }
            // Only terrarium draws the selected bug in standout.
            EXPECT_EQ((mvwinch(common::world_pad, b->y, b->x) & A_STANDOUT) != 0, is_terrarium(side)) << name;
        }
    });
}

TEST(Turn, VisionStaysWithinOneAndTheRootOfSize)
{
    struct row {
        int gene, size, vision, want;
    };
    const row rows[] = {
        {REST, 2, 1, 1},      // raised to 2, lowered again: sqrt(2) < 2
        {STEP, 2, 1, 1},      // lowered to 0, raised again
        {REST, 100, 9, 10},   // a size 100 bug reaches 10 by resting
        {REST, 100, 10, 10},  // but not 11
        {STEP, 4, 10, 8},     // far outside: back by one unit per turn
        {TURN_LEFT, 9, 3, 3},
    };
    for (const row &r : rows) {
        terrarium_side::blank(30, 30);
        terrarium::bug *b = terrarium_side::add(10, 10, 'B', 1);
        set_genes(b, r.gene);
        b->size = r.size;
        b->vision = r.vision;
        terrarium_side::turn();
        EXPECT_EQ(b->vision, r.want) << "gene " << r.gene << " size " << r.size << " vision " << r.vision;
    }
}

TEST(Ageing, BirthDeathAndTrackersWithStrictComparisons)
{
    // Bug B's ageing step against A, which holds every tracker.
    struct row {
        const char *name;
        int food, gen, age, food_motive;  // B's, before its step; A has 1000, 1, 0, 15
        int ring;                          // bugs afterwards, of 3
        bool hf, hg, old, hk;              // B holds the tracker afterwards
    };
    const row rows[] = {
        {"ties keep the holders", 1000, 1, -1, 15, 3, false, false, false, false},
        {"more of each takes them", 1001, 2, 5, 14, 3, true, true, true, true},
        {"food 1 lives", 1, 1, -1, 15, 3, false, false, false, false},
        {"food 0 dies", 0, 1, 0, 15, 2, false, false, false, false},
        {"food -5 dies", -5, 1, 0, 15, 2, false, false, false, false},
        {"1199 of 1200 is no birth", 1199, 1, -1, 15, 3, true, false, false, false},
        {"1200 gives birth at any size", 1200, 1, -1, 15, 4, false, false, false, false},
    };
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            std::string name = std::string(S::name) + ": " + r.name;
            S::blank(17, 17);
            auto *a = S::add(2, 2, 'A');
            auto *b = S::add(8, 8, 'B');
            S::add(14, 14, 'C');
            b->size = is_terrarium(side) ? 10 : 77;  // terrarium: 120 x size; vivarium: 1200 whatever the size
            b->food = r.food;
            b->gen = r.gen;
            b->age = r.age;
            if constexpr (std::is_same_v<S, terrarium_side>)
                terrarium::attraction(b, '@') = r.food_motive;
            S::cursor() = b;
            S::ageing_step();
            EXPECT_EQ(common::ring_size(a), r.ring) << name;
            if (r.ring == 2) {
                // A dead bug leaves a seedling; vivarium's step then goes
                // back to `first`, where food grows.
                EXPECT_EQ(common::cell_read(8, 8), is_terrarium(side) ? '.' : '*') << name;
                continue;
            }
            EXPECT_EQ(b->age, r.age + 1) << name;
            if (r.ring == 4) {
                EXPECT_EQ(b->next->gen, 2) << name << ": the newborn follows its parent";
            }
            if (r.ring == 4)
                continue;
            EXPECT_EQ(*S::pointers()[3] == b, r.hf) << name << ": hf";
            EXPECT_EQ(*S::pointers()[4] == b, r.hg) << name << ": hg";
            EXPECT_EQ(*S::pointers()[5] == b, r.old) << name << ": old";
            if constexpr (std::is_same_v<S, terrarium_side>) {
                EXPECT_EQ(terrarium::hk == b, r.hk) << name << ": hk";
            }
        }
    });
}

TEST(Ageing, TheSelectedBugStarvingResetsTheLabelAndTheSelection)
{
    for_both([](auto side) {
        using S = decltype(side);
        S::blank(17, 17);
        auto *a = S::add(1, 1, 'A');
        auto *b = S::add(6, 6, 'C');
        S::add(9, 9, 'E');
        *S::pointers()[2] = b;  // sb
        common::track_label = "hf ";
        b->food = 0;
        S::cursor() = b;
        S::ageing_step();
        EXPECT_STREQ(common::track_label, "xx ") << S::name;
        EXPECT_EQ(*S::pointers()[2], a) << S::name << ": the selection moves to the predecessor";
    });
}

TEST(Ageing, FoodGrowsOnceAtTheOpeningOfTheAgeingPass)
{
    // In terrarium food grows when `first` opens the ageing pass. vivarium
    // grows it later in the step, so a death right after `first` hands the
    // step back to `first` and food grows a second time.
    struct row {
        const char *program;
        int b_food;
        char after;
    };
    const row rows[] = {{"terrarium", 1000, '*'}, {"terrarium", 0, '*'}, {"vivarium", 1000, '*'},
                        {"vivarium", 0, '@'}};
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            if (std::string(r.program) != S::name)
                continue;
            S::blank(17, 17);
            S::add(2, 2, 'A');
            auto *b = S::add(8, 8, 'B');
            S::add(14, 14, 'C');
            b->food = r.b_food;
            common::cell_write(0, 16, '.');
            common::phase = 24;  // the next boundary opens an ageing pass
            do
                common::loop_step(false);
            while (S::cursor() != *S::pointers()[1]);
            EXPECT_EQ(common::phase, 0);
            EXPECT_EQ(common::cell_read(0, 16), r.after) << r.program << " B's food " << r.b_food;
        }
    });
}

TEST(Loop, TheFirstIterationIsABoundaryAndThePhaseCountsPasses)
{
    terrarium_side::blank(12, 12);
    for (int i = 0; i < 3; i++)
        terrarium_side::add(3 * i, 3 * i, 'A');
    EXPECT_EQ(common::run_passes(30), 3 * 30);
    EXPECT_EQ(common::phase, 30 % 25);
}

TEST(Birth, FoodSplitPartnerAndPlaceInTheRing)
{
    struct row {
        int size, food;
        int child, terrarium_parent, vivarium_parent;  // 2/3 - 15 x size, 2/3 - 200
        bool terrarium_own, vivarium_own;              // from 120 x size, from 1200
    };
    const row rows[] = {
        {10, 900, 300, 450, 400, false, false},
        {10, 1200, 400, 650, 600, true, true},
        {10, 1000, 333, 516, 466, false, false},  // odd splits truncate
        {80, 1500, 500, -200, 800, false, true},
    };
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            std::string name = std::string(S::name) + " size " + std::to_string(r.size) + " food " +
                               std::to_string(r.food);
            // Its own partner has nobody ahead: a lookup there would stop.
            bool own = is_terrarium(side) ? r.terrarium_own : r.vivarium_own;
            S::blank(40, 40);
            auto *parent = S::add(5, 5, 'M', 1);
            auto *partner = own ? nullptr : S::add(5, 6, 'M');
            auto *successor = own ? S::add(30, 30, 'Q') : partner;
            parent->size = r.size;
            parent->food = r.food;
            if (partner)
                set_genes(partner, 1);
            std::srand(3);
            S::mate();
            auto *child = parent->next;
            ASSERT_NE(child, successor) << name;
            EXPECT_EQ(child->prev, parent) << name;
            EXPECT_EQ(child->next, successor) << name << ": parent, child, former successor";
            EXPECT_EQ(child->food, r.child) << name;
            EXPECT_EQ(parent->food, is_terrarium(side) ? r.terrarium_parent : r.vivarium_parent) << name;
            EXPECT_EQ(child->gen, 2) << name;
            EXPECT_EQ(child->age, 0) << name;
            EXPECT_EQ(child->race, 'M') << name;
            EXPECT_EQ(common::cell_read(child->y, child->x), ' ') << name << ": the child is not drawn yet";
            // A third of the genes come from the partner; a new gene once
            // in nine, which is a 1 a quarter of the time.
            int ones = 0;
            for (int g : child->dna)
                ones += g == 1;
            EXPECT_EQ(ones >= 4, !own) << name << ": " << ones << " genes 1";
            if constexpr (std::is_same_v<S, vivarium_side>) {
                EXPECT_EQ(vivarium::population, 3) << name;
            }
        }
    });
}

TEST(Birth, InheritedTraitsVaryWithinTheirRanges)
{
    struct row {
        const char *program;
        int size, vision;
        int size_low, size_high, vision_low, vision_high;
    };
    const row rows[] = {
        {"terrarium", 2, 1, 2, 7, 1, 2},      {"terrarium", 100, 10, 95, 100, 9, 10},
        {"terrarium", 50, 5, 45, 55, 4, 6},   {"vivarium", 2, 0, 2, 3, 0, 0},
        {"vivarium", 100, 0, 99, 100, 0, 0},  {"vivarium", 50, 0, 49, 51, 0, 0},
    };
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            if (std::string(r.program) != S::name)
                continue;
            int size[2] = {1000, -1}, vision[2] = {1000, -1};
            for (unsigned seed = 1; seed <= 200; seed++) {
                S::blank(40, 40);
                auto *parent = S::add(5, 5, 'M');
                parent->size = r.size;
                parent->food = 100000;
                if constexpr (std::is_same_v<S, terrarium_side>)
                    parent->vision = r.vision;
                std::srand(seed);
                S::mate();
                auto *child = parent->next;
                size[0] = std::min(size[0], child->size);
                size[1] = std::max(size[1], child->size);
                if constexpr (std::is_same_v<S, terrarium_side>) {
                    vision[0] = std::min(vision[0], child->vision);
                    vision[1] = std::max(vision[1], child->vision);
                } else {
                    vision[0] = vision[1] = 0;
                }
            }
            std::string name = std::string(r.program) + " size " + std::to_string(r.size);
            EXPECT_EQ(size[0], r.size_low) << name;
            EXPECT_EQ(size[1], r.size_high) << name;
            EXPECT_EQ(vision[0], r.vision_low) << name;
            EXPECT_EQ(vision[1], r.vision_high) << name;
        }
    });
}

TEST(Birth, AttractionsAreHalvedAndRipeFoodGetsOneMore)
{
    terrarium_side::blank(40, 40);
    terrarium::bug *parent = terrarium_side::add(5, 5, 'M');
    parent->food = 5000;
    const int given[] = {1, -1, -7, 15, -20};
    const int want[] = {0, 0, -3, 7, -9};
    const char glyphs[] = "ABCD@";
    for (int i = 0; i < 5; i++)
        terrarium::attraction(parent, glyphs[i]) = given[i];
    terrarium_side::mate();
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(terrarium::attraction(parent->next, glyphs[i]), want[i]) << glyphs[i];
}

TEST(Birth, TheChildCellIsBlankAndNearTheParentFirst)
{
    for_both([](auto side) {
        using S = decltype(side);
        bool on_parent_cell = false;
        for (unsigned seed = 1; seed <= 60; seed++) {
            std::string name = std::string(S::name) + " seed " + std::to_string(seed);
            // On open ground the first try (the 3 x 3 box) succeeds, the
            // parent's own cell included: it is blank during its turn.
            S::blank(40, 40);
            auto *parent = S::add(5, 5, 'M');
            parent->food = 5000;
            std::srand(seed);
            S::mate();
            auto *child = parent->next;
            EXPECT_TRUE(std::abs(child->y - 5) <= 1 && std::abs(child->x - 5) <= 1) << name;
            on_parent_cell |= child->y == 5 && child->x == 5;
            // The range runs between the box's ends as plain numbers: from
            // row 0 the rows wrap to the far side, so the child lands away
            // from the parent's row; and never on a cell that is not blank.
            S::blank(40, 40);
            parent = S::add(0, 5, 'M');
            parent->food = 5000;
            draw({"", std::string(40, '#')});
            std::srand(seed);
            S::mate();
            child = parent->next;
            EXPECT_GE(child->y, 2) << name;
            EXPECT_EQ(common::cell_read(child->y, child->x), ' ') << name;
        }
        EXPECT_TRUE(on_parent_cell) << S::name;
    });
}

TEST(Birth, IsGivenUpWithoutABlankCellOrMemory)
{
    // Nothing changes: the ring, the parent's food, the count. The search
    // does not go on for ever on a map without a blank cell, and finds
    // the last blank cell wherever it is.
    for_both([](auto side) {
        using S = decltype(side);
        S::blank(12, 12);
        draw(std::vector<std::string>(12, std::string(12, '~')));
        auto *parent = S::add(5, 5, 'M');
        S::add(8, 8, 'Q');
        parent->food = 5000;
        S::mate();
        EXPECT_EQ(common::ring_size(parent), 2) << S::name;
        EXPECT_EQ(parent->food, 5000) << S::name;
        common::cell_write(11, 0, ' ');
        S::mate();
        ASSERT_EQ(common::ring_size(parent), 3) << S::name;
        EXPECT_EQ(parent->next->y * 100 + parent->next->x, 1100) << S::name;

        // No memory for the record; then none for the index to grow by.
        for (int i = 0; common::ring_size(parent) < 64; i++)
            S::add(i / 12, i % 12, 'Q');
        common::cell_write(11, 1, ' ');
        int food = parent->food;
        common::hooks.allocate = [](std::size_t) -> void * { return nullptr; };
        S::mate();
        static int allowed;
        allowed = 1;
        common::hooks.allocate = [](std::size_t bytes) { return allowed-- > 0 ? std::malloc(bytes) : nullptr; };
        S::mate();
        common::hooks.allocate = common::default_hooks.allocate;
        EXPECT_EQ(common::ring_size(parent), 64) << S::name;
        EXPECT_EQ(parent->food, food) << S::name;
        if constexpr (std::is_same_v<S, vivarium_side>) {
            EXPECT_EQ(vivarium::population, 64);
        }
        S::mate();
        EXPECT_EQ(common::ring_size(parent), 65) << S::name << ": with memory again, the birth happens";
    });
}

TEST(Death, PointersMoveToThePredecessorAndTheLastButOneStops)
{
    for_both([](auto side) {
        using S = decltype(side);
        S::blank(10, 10);
        auto *a = S::add(1, 1, 'A');
        auto *b = S::add(2, 2, 'B');
        auto *c = S::add(3, 3, 'C');
        for (auto **p : S::pointers())
            *p = b;
        S::die(b);
        for (auto **p : S::pointers())
            EXPECT_EQ(*p, a) << S::name;
        EXPECT_EQ(a->next, c);
        EXPECT_EQ(c->prev, a);
        EXPECT_EQ(common::cell_read(2, 2), '.');
        common::stopped stop = stop_of([&] { S::die(c); });
        EXPECT_EQ(stop.status, 0) << S::name << ": a single bug left ends the run";
        EXPECT_EQ(a->next, a);
        if constexpr (std::is_same_v<S, vivarium_side>) {
            EXPECT_EQ(vivarium::population, 1);
        }
    });
}

TEST(Findbug, FirstInRingOrderFromTheCursorOrTheLostBugReport)
{
    for_both([](auto side) {
        using S = decltype(side);
        S::blank(10, 10);
        auto *a = S::add(4, 4, 'A');
        auto *b = S::add(7, 7, 'B');
        auto *c = S::add(7, 7, 'C');
        EXPECT_EQ(S::findbug(4, 4), a) << S::name << ": the cursor's own cell first";
        EXPECT_EQ(S::findbug(7, 7), b) << S::name;
        S::cursor() = c;
        EXPECT_EQ(S::findbug(7, 7), c) << S::name << ": the walk starts at the cursor";
        S::cursor() = a;
        common::stopped stop = stop_of([] { S::findbug(1, 2); });
        EXPECT_EQ(stop.status, 10) << S::name;
        EXPECT_EQ(stop.message, "this bug if fucked\nbug x =4\nbug y =4\nbug v =0\nlook x =2\nlook y =1\n");
    });
}

TEST(Findbug, TheIndexRelabelsWhenBirthsCrowdOnePlace)
{
    // Every child goes right after its parent: the room between their
    // ring-order labels halves with each birth until it must be spread.
    terrarium_side::blank(60, 60);
    terrarium::bug *parent = terrarium_side::add(30, 30, 'M');
    terrarium::bug *other = terrarium_side::add(5, 5, 'Q');
    for (int i = 0; i < 200; i++) {
        parent->food = 100000;
        terrarium::bugs = parent;
        terrarium_side::mate();
        terrarium::bug *child = parent->next;
        int y = child->y, x = child->x;
        child->y = child->x = 30;  // on the parent's cell, as a birth may
        terrarium::bugs_by_cell.move(child, y, x);
    }
    EXPECT_EQ(terrarium::bugs_by_cell.first_from(parent, 30, 30), parent);
    EXPECT_EQ(terrarium::bugs_by_cell.first_from(parent->next, 30, 30), parent->next);
    EXPECT_EQ(terrarium::bugs_by_cell.first_from(other, 30, 30), parent) << "across the end of the ring";
}

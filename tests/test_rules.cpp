// The rules of a turn, the ageing step, birth, death and the lookup, on
// hand-made worlds, with values worked out by hand.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/hooks.h"
#include "tests/support/world.h"

using common::REST;
using common::STEP;
using common::TURN_LEFT;
using common::TURN_RIGHT;

template <class Bug>
Bug *with_genes(Bug *b, int gene)
{
    for (auto &g : b->dna)
        g = static_cast<common::gene_t>(gene);
    return b;
}

TEST(Turn, CostsMovesAndWrapsAtEveryEdge)
{
    struct row {
        int gene, vector, y, x, size, food;
        int food_after[2];  // terrarium 1, 1.2, 1.5 and vivarium 1, 1.1, 1.3 units of log10(size) + 1
        int vector_after, y_after, x_after;
    };
    const row rows[] = {
        {REST, 0, 3, 3, 10, 100, {98, 98}, 0, 3, 3},          {TURN_LEFT, 0, 3, 3, 10, 100, {97, 97}, 3, 3, 3},
        {TURN_RIGHT, 3, 3, 3, 10, 100, {97, 97}, 0, 3, 3},    {STEP, 0, 0, 3, 10, 100, {97, 97}, 0, 5, 3},
        {STEP, 1, 2, 6, 10, 100, {97, 97}, 1, 2, 0},          {STEP, 2, 5, 3, 10, 100, {97, 97}, 2, 0, 3},
        {STEP, 3, 2, 0, 10, 100, {97, 97}, 3, 2, 6},          {REST, 0, 3, 3, 2, 1, {0, 0}, 0, 3, 3},
        {REST, 0, 3, 3, 2, 0, {-1, -1}, 0, 3, 3},             {STEP, 1, 3, 3, 100, 1000, {995, 996}, 1, 3, 4},
        {TURN_LEFT, 2, 3, 3, 2, 10, {8, 8}, 1, 3, 3},
    };
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            std::string name = std::string(S::name) + " gene " + std::to_string(r.gene) + " facing " +
                               std::to_string(r.vector) + " size " + std::to_string(r.size);
            S::blank(6, 7);
            auto *b = with_genes(S::add(r.y, r.x, 'B', r.vector), r.gene);
            b->size = r.size, b->food = r.food;
            S::turn();
            EXPECT_EQ(std::vector<int>({b->food, b->vector, b->y, b->x}),
                      std::vector<int>({r.food_after[!is_terrarium<S>], r.vector_after, r.y_after, r.x_after}))
                << name;
            EXPECT_EQ(common::cell_read(r.y, r.x), b->y == r.y && b->x == r.x ? 'B' : ' ') << name;
            common::sync_pad();  // only terrarium draws the selected bug in standout
            EXPECT_EQ(mvwinch(common::world_pad, b->y, b->x), 'B' | (is_terrarium<S> ? A_STANDOUT : 0)) << name;
        }
    });
    // Rests raise vision, steps lower it; then it comes back at most one
    // unit towards 1 to sqrt(size).
    const int visions[][4] = {{REST, 2, 1, 1}, {STEP, 2, 1, 1}, {REST, 100, 9, 10}, {REST, 100, 10, 10}, {STEP, 4, 10, 8}};
    for (const auto &v : visions) {  // gene, size, vision, vision after
        terrarium_side::blank(30, 30);
        terrarium::bug *b = with_genes(terrarium_side::add(10, 10, 'B', 1), v[0]);
        b->size = v[1], b->vision = v[2];
        terrarium_side::turn();
        EXPECT_EQ(b->vision, v[3]) << "gene " << v[0] << " size " << v[1] << " vision " << v[2];
    }
}

TEST(Ageing, BirthDeathAndTrackersWithStrictComparisons)
{
    // Bug B's ageing step against A, which holds every tracker with food
    // 1000, gen 1, age 0 and 15 for ripe food.
    struct row {
        const char *name;
        int food, gen, age, food_motive;
        int ring;              // bugs afterwards, of 3
        bool hf, hg, old, hk;  // B holds the tracker afterwards
    };
    const row rows[] = {
        {"ties keep the holders", 1000, 1, -1, 15, 3, false, false, false, false},
        {"more of each takes them", 1001, 2, 5, 14, 3, true, true, true, true},
        {"food 1 lives", 1, 1, -1, 15, 3, false, false, false, false},
        {"food 0 dies", 0, 1, 0, 15, 2, false, false, false, false},
        {"1199 of 1200 is no birth", 1199, 1, -1, 15, 3, true, false, false, false},
        {"1200 gives birth", 1200, 1, -1, 15, 4, false, false, false, false},
    };
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            std::string name = std::string(S::name) + ": " + r.name;
            S::blank(17, 17);
            auto *a = S::add(2, 2, 'A');
            auto *b = S::add(8, 8, 'B');
            S::add(14, 14, 'C');
            b->size = is_terrarium<S> ? 10 : 77;  // 120 x size; vivarium's 1200 whatever the size
            b->food = r.food, b->gen = r.gen, b->age = r.age;
            if constexpr (is_terrarium<S>)
                terrarium::attraction(b, '@') = r.food_motive;
            S::cursor = b;
            S::ageing_step();
            EXPECT_EQ(common::ring_size(a), r.ring) << name;
            if (r.ring == 2) {  // a seedling, which vivarium's step at `first` makes grow
                EXPECT_EQ(common::cell_read(8, 8), is_terrarium<S> ? '.' : '*') << name;
                continue;
            }
            EXPECT_EQ(b->age, r.age + 1) << name;
            EXPECT_EQ(b->next->gen, r.ring == 4 ? 2 : 1) << name << ": the newborn follows its parent";
            auto pointers = S::pointers();
            if (r.ring == 3) {
                EXPECT_EQ(*pointers[3] == b, r.hf) << name << ": hf";
                EXPECT_EQ(*pointers[4] == b, r.hg) << name << ": hg";
                EXPECT_EQ(*pointers[5] == b, r.old) << name << ": old";
                EXPECT_EQ(is_terrarium<S> && *pointers[6] == b, r.hk && is_terrarium<S>) << name << ": hk";
            }
        }
    });
}

TEST(Ageing, OrderOfGrowthAndTheStarvingSelection)
{
    // terrarium grows food when `first` opens the ageing pass; vivarium
    // later in the step, so a death right after `first` hands the step
    // back to `first` and food grows twice. A starving selection gives
    // its place to its predecessor and the label to "xx ".
    for_both([](auto side) {
        using S = decltype(side);
        for (int b_food : {1000, 0}) {
            S::blank(17, 17);
            auto *a = S::add(2, 2, 'A');
            auto *b = S::add(8, 8, 'B');
            S::add(14, 14, 'C');
            b->food = b_food;
            *S::pointers()[2] = b;
            common::track_label = "hf ";
            common::cell_write(0, 16, '.');
            common::phase = 24;  // the next boundary opens an ageing pass
            common::run_passes(1);
            EXPECT_EQ(common::cell_read(0, 16), b_food == 0 && !is_terrarium<S> ? '@' : '*') << S::name;
            EXPECT_STREQ(common::track_label, b_food ? "hf " : "xx ") << S::name;
            EXPECT_EQ(*S::pointers()[2], b_food ? b : a) << S::name;
        }
    });
}

TEST(Birth, FoodSplitPartnerTraitsAndPlaceInTheRing)
{
    struct row {
        int size, food, child;
        int parent[2];  // terrarium 2/3 - 15 x size, vivarium 2/3 - 200
        bool own[2];    // its own partner from 120 x size, from 1200
    };
    const row rows[] = {{10, 900, 300, {450, 400}, {false, false}},
                        {10, 1200, 400, {650, 600}, {true, true}},
                        {10, 1000, 333, {516, 466}, {false, false}},
                        {80, 1500, 500, {-200, 800}, {false, true}}};
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            std::string name = std::string(S::name) + " size " + std::to_string(r.size) + " food " +
                               std::to_string(r.food);
            bool own = r.own[!is_terrarium<S>];  // its own partner has nobody ahead: a lookup would stop
            S::blank(40, 40);
            auto *parent = S::add(5, 5, 'M', 1);
            auto *next = own ? S::add(30, 30, 'Q') : with_genes(S::add(5, 6, 'M'), 1);
            parent->size = r.size, parent->food = r.food;
            std::srand(3);
            S::mate();
            auto *child = parent->next;
            ASSERT_TRUE(child != next && child->prev == parent && child->next == next) << name;
            EXPECT_EQ(std::vector<int>({child->food, parent->food, child->gen, child->age, child->race}),
                      std::vector<int>({r.child, r.parent[!is_terrarium<S>], 2, 0, 'M'})) << name;
            EXPECT_EQ(common::cell_read(child->y, child->x), ' ') << name << ": not drawn yet";
            // A third of the genes come from the partner, and a new gene
            // (once in nine) is a 1 a quarter of the time.
            int ones = 0;
            for (int g : child->dna)
                ones += g == 1;
            EXPECT_EQ(ones >= 4, !own) << name << ": " << ones << " genes 1";
        }
    });
    // Attractions are halved, truncated, and ripe food gets one more.
    terrarium_side::blank(40, 40);
    terrarium::bug *parent = terrarium_side::add(5, 5, 'M');
    parent->food = 5000;
    const int given[] = {1, -1, -7, 15, -20}, want[] = {0, 0, -3, 7, -9};
    for (int i = 0; i < 5; i++)
        terrarium::attraction(parent, "ABCD@"[i]) = given[i];
    terrarium_side::mate();
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(terrarium::attraction(parent->next, "ABCD@"[i]), want[i]) << "ABCD@"[i];
}

TEST(Birth, IsGivenUpWithoutABlankCellOrMemory)
{
    // Nothing changes then: the ring, the parent's food, the count. The
    // search ends on a map without a blank cell, and finds the last blank
    // cell wherever it is.
    for_both([](auto side) {
        using S = decltype(side);
        S::blank(12, 12);
        draw(std::vector<std::string>(12, std::string(12, '~')));
        auto *parent = S::add(5, 5, 'M');
        parent->food = 5000;
        S::mate();
        EXPECT_EQ(common::ring_size(parent) * 10000 + parent->food, 15000) << S::name;
        common::cell_write(11, 0, ' ');
        S::mate();
        ASSERT_EQ(common::ring_size(parent), 2) << S::name;
        EXPECT_EQ(parent->next->y * 100 + parent->next->x, 1100) << S::name;
        // No memory for the record; then none for the index to grow by.
        for (int i = 0; common::ring_size(parent) < 64; i++)
            S::add(i / 12, i % 12, 'Q');
        common::cell_write(11, 1, ' ');
        int food = parent->food;
        static int allowed;
        for (int records : {0, 1}) {
            allowed = records;
            common::hooks.allocate = [](std::size_t bytes) { return allowed-- > 0 ? std::malloc(bytes) : nullptr; };
            S::mate();
        }
        common::hooks.allocate = common::default_hooks.allocate;
        EXPECT_EQ(common::ring_size(parent) * 10000 + parent->food, 640000 + food) << S::name;
        if constexpr (!is_terrarium<S>) {
            EXPECT_EQ(vivarium::population, 64);
        }
        S::mate();
        EXPECT_EQ(common::ring_size(parent), 65) << S::name << ": with memory again, the birth happens";
    });
}

TEST(Death, PointersMoveToThePredecessorAndTheLastButOneEndsTheRun)
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
        EXPECT_TRUE(a->next == c && c->prev == a && common::cell_read(2, 2) == '.') << S::name;
        common::stopped stop = stop_of([&] { S::die(c); });
        EXPECT_EQ(stop.status, 0) << S::name;
        EXPECT_EQ(stop.message, std::string(S::name) + ": one bug left after 0 passes\n");
        EXPECT_EQ(a->next, a) << S::name;
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
        S::cursor = c;
        EXPECT_EQ(S::findbug(7, 7), c) << S::name << ": the walk starts at the cursor";
        S::cursor = a;
        common::stopped stop = stop_of([] { S::findbug(1, 2); });
        EXPECT_EQ(stop.status, 10) << S::name;
        EXPECT_EQ(stop.message, "this bug if fucked\nbug x =4\nbug y =4\nbug v =0\nlook x =2\nlook y =1\n");
    });
    // Children always right after the parent: the room between ring-order
    // labels halves with each birth until the labels must be spread again.
    terrarium_side::blank(60, 60);
    terrarium::bug *parent = terrarium_side::add(30, 30, 'M');
    terrarium::bug *other = terrarium_side::add(5, 5, 'Q');
    for (int i = 0; i < 200; i++) {
        parent->food = 100000;
        terrarium::bugs = parent;
        terrarium_side::mate();
        terrarium::bug *child = parent->next;
        int y = child->y, x = child->x;
        child->y = child->x = 30;  // on the parent's cell, as a birth may be
        terrarium_side::index.move(child, y, x);
    }
    EXPECT_EQ(terrarium_side::index.first_from(parent, 30, 30), parent);
    EXPECT_EQ(terrarium_side::index.first_from(parent->next, 30, 30), parent->next);
    EXPECT_EQ(terrarium_side::index.first_from(other, 30, 30), parent) << "across the end of the ring";
}

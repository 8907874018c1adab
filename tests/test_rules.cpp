// The rules of a turn, the ageing step, birth, death and the lookup, on
// hand-made worlds, with values worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "common/hooks.h"
#include "common/random.h"
#include "tests/support/world.h"

using common::REST, common::STEP, common::TURN_LEFT, common::TURN_RIGHT;

template <class Bug>
Bug *with_genes(Bug *b, int gene)
{
    for (auto &g : b->dna)
        g = static_cast<common::gene_t>(gene);
    return b;
}

TEST(Random, TheSequenceOfTheCLibrarysRandForEverySeed)
{
    common::random_stream fixed(1), zero(0);  // 0 acts as 1
    for (int want : {1804289383, 846930886, 1681692777, 1714636915})
        EXPECT_TRUE(fixed.next() == want && zero.next() == want);
#ifdef __GLIBC__
    for (unsigned seed : {0u, 1u, 2u, 12u, 127773u, 2147483646u, 2147483647u, 2147483648u, 4294967295u})
        for (unsigned step = 1, s = seed + 1; step < 20; step++, s = seed * step + step) {
            common::random_stream own(s);
            std::srand(s);
            for (int i = 0; i < 1000 * static_cast<int>(step); i++)
                ASSERT_EQ(own.next(), std::rand()) << "seed " << s << " draw " << i;
        }
#endif
}

TEST(Turn, CostsMovesAndWrapsAtEveryEdge)
{
    // Costs, truncated toward zero, in units of log10(size) + 1: terrarium
    // 1, 1.2, 1.5 and vivarium 1, 1.1, 1.3 (size 4: 1.602 units).
    struct row {
        int gene, facing, y, x, size, food, food_after[2], facing_after, y_after, x_after;
    };
    const row rows[] = {
        {REST, 0, 3, 3, 10, 100, {98, 98}, 0, 3, 3},        {TURN_LEFT, 0, 3, 3, 10, 100, {97, 97}, 3, 3, 3},
        {TURN_RIGHT, 3, 3, 3, 4, 100, {98, 98}, 0, 3, 3},   {STEP, 0, 0, 3, 10, 100, {97, 97}, 0, 5, 3},
        {STEP, 1, 2, 6, 10, 100, {97, 97}, 1, 2, 0},        {STEP, 2, 5, 3, 10, 100, {97, 97}, 2, 0, 3},
        {STEP, 3, 2, 0, 10, 100, {97, 97}, 3, 2, 6},        {REST, 0, 3, 3, 2, 1, {0, 0}, 0, 3, 3},
        {REST, 0, 3, 3, 2, 0, {-1, -1}, 0, 3, 3},           {STEP, 1, 3, 3, 100, 1000, {995, 996}, 1, 3, 4},
        {TURN_LEFT, 2, 3, 3, 4, 10, {8, 8}, 1, 3, 3},       {STEP, 1, 3, 3, 4, 100, {97, 97}, 1, 3, 4},
    };
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            S::blank(6, 7);
            auto *b = with_genes(S::add(r.y, r.x, 'B', r.facing), r.gene);
            b->size = r.size, b->food = r.food;
            // Two views of the world, drawn before the turn, both catch up with it.
            common::session &shown = S::session();  // only terrarium draws the selected bug in standout
            common::map_view other(&shown.selection.cells());
            ASSERT_TRUE(other.open(S::w().map));
            shown.view.catch_up(), other.catch_up();
            S::turn();
            shown.view.catch_up(), other.catch_up();
            auto seen = [&](WINDOW *pad) {  // the bug's cell before and after
                return std::vector<chtype>({mvwinch(pad, r.y, r.x), mvwinch(pad, b->y, b->x)});
            };
            EXPECT_EQ(std::vector<long>({b->food, b->facing, b->y, b->x, S::w().map.read(r.y, r.x)}),
                      std::vector<long>({r.food_after[!is_terrarium<S>], r.facing_after, r.y_after, r.x_after,
                                         r.y_after == r.y && r.x_after == r.x ? 'B' : ' '}))
                << S::name << " gene " << r.gene << " facing " << r.facing << " size " << r.size;
            const chtype drawn = 'B' | (is_terrarium<S> ? A_STANDOUT : 0);
            const chtype left = b->y == r.y && b->x == r.x ? drawn : ' ';
            EXPECT_EQ(seen(shown.view.pad()), std::vector<chtype>({left, drawn}));
            EXPECT_EQ(seen(other.pad()), std::vector<chtype>({left, drawn}));
        }
    });
    // Rests raise vision, steps lower it; then one unit back towards 1 to sqrt(size).
    const int visions[][4] = {{REST, 2, 1, 1}, {STEP, 2, 1, 1}, {REST, 100, 9, 10}, {REST, 100, 10, 10},
                              {STEP, 4, 10, 8}};
    for (const auto &[gene, size, vision, after] : visions) {
        terrarium_side::blank(30, 30);
        terrarium::bug *b = with_genes(terrarium_side::add(10, 10, 'B', 1), gene);
        b->size = size, b->vision = vision;
        terrarium_side::turn();
        EXPECT_EQ(b->vision, after) << "gene " << gene << " size " << size << " vision " << vision;
    }
}

TEST(Ageing, BirthDeathAndTrackersWithStrictComparisons)
{
    // B's ageing step against A, which holds every tracker with food 1000,
    // gen 1, age 0 and 15 for ripe food (to die, B holds them all). Births
    // from 120 x size (10) in terrarium, from 1200 whatever the size in vivarium.
    struct row {
        const char *name;
        int food, gen, age, food_motive, ring;  // bugs afterwards, of 3
        bool hf, hg, old, hk;                   // B holds the tracker afterwards
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
            SCOPED_TRACE(std::string(S::name) + ": " + r.name);
            S::blank(17, 17);
            auto *a = S::add(2, 2, 'A');
            auto *b = S::add(8, 8, 'B');
            S::add(14, 14, 'C');
            b->size = is_terrarium<S> ? 10 : 77;
            b->food = r.food, b->gen = r.gen, b->age = r.age;
            if constexpr (is_terrarium<S>)
                terrarium::attraction(b, '@') = r.food_motive;
            auto p = S::pointers();  // cursor, marker, selection, hf, hg, old (, hk)
            for (auto **q : p)  // B takes its step as the selection
                if (r.ring == 2 || q == p[0] || q == p[2])
                    *q = b;
            S::w().refs.chosen_by = 1;
            S::ageing_step();
            ASSERT_EQ(common::ring_size(a), r.ring);
            if (r.ring == 2) {
                // Every pointer passes to the predecessor, a starving
                // selection's label to "xx ". terrarium grows food when
                // the pass marker opens its step, vivarium after the death, from the
                // predecessor on: here the marker, so the seedling left grows.
                for (auto **q : p)
                    EXPECT_EQ(*q, a);
                EXPECT_TRUE(a->next->race == 'C' && a->next->prev == a);
                EXPECT_EQ(S::w().map.read(8, 8), is_terrarium<S> ? '.' : '*');
                EXPECT_STREQ(S::program.selection_label(S::w()), "xx ");
                auto ended = [&](auto *victim) {
                    common::outcome o = common::run_rule(S::w(), [&] { S::die(victim); });
                    return std::to_string(common::exit_status(o)) + " " + S::w().outcome_message;
                };
                EXPECT_EQ(ended(a->next), "0 " + std::string(S::name) + ": one bug left after 0 passes\n");
                EXPECT_TRUE(S::w().outcome == common::outcome::one_bug_left && a->next == a) << "the last but one";
                S::w().passes = 1030;  // and the last of a world seeded with one
                EXPECT_EQ(ended(a), "0 " + std::string(S::name) + ": no bug left after 1030 passes\n");
                EXPECT_EQ(S::w().outcome, common::outcome::no_bug_left);
                continue;
            }
            EXPECT_EQ(b->age * 10 + b->next->gen, (r.age + 1) * 10 + (r.ring == 4 ? 2 : 1)) << "the newborn follows";
            EXPECT_STREQ(S::program.selection_label(S::w()), "hf ");
            EXPECT_EQ(std::vector<bool>({*p[3] == b, *p[4] == b, *p[5] == b, is_terrarium<S> && *p[6] == b}),
                      std::vector<bool>({r.hf, r.hg, r.old, r.hk && is_terrarium<S>}))
                << "hf, hg, old, hk";
        }
    });
}

TEST(Birth, FoodSplitPartnerTraitsAndPlaceInTheRing)
{
    struct row {
        int size, food, child, parent[2];  // parent: terrarium 2/3 - 15 x size, vivarium 2/3 - 200
        bool own[2];                       // its own partner from 120 x size, from 1200
    };
    const row rows[] = {{10, 900, 300, {450, 400}, {false, false}}, {10, 1200, 400, {650, 600}, {true, true}},
                        {10, 1000, 333, {516, 466}, {false, false}}, {80, 1500, 500, {-200, 800}, {false, true}}};
    // terrarium's attractions are halved, truncated, and ripe food gets one more.
    const int given[] = {1, -1, -7, 15, -20}, want[] = {0, 0, -3, 7, -9};
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            SCOPED_TRACE(std::string(S::name) + " size " + std::to_string(r.size) + " food " + std::to_string(r.food));
            bool own = r.own[!is_terrarium<S>];  // its own partner has nobody ahead: a lookup would stop
            S::blank(40, 40);
            auto *parent = S::add(5, 5, 'M', 1);
            auto *next = own ? S::add(30, 30, 'Q') : with_genes(S::add(5, 6, 'M'), 1);
            parent->size = r.size, parent->food = r.food;
            if constexpr (is_terrarium<S>)
                for (int i = 0; i < 5; i++)
                    terrarium::attraction(parent, "ABCD@"[i]) = given[i];
            S::w().random.reseed(3);
            S::mate();
            auto *child = parent->next;
            ASSERT_TRUE(child != next && child->prev == parent && child->next == next);
            EXPECT_EQ(std::vector<int>({child->food, parent->food, child->gen, child->age, child->race,
                                        S::w().map.read(child->y, child->x)}),
                      std::vector<int>({r.child, r.parent[!is_terrarium<S>], 2, 0, 'M', ' '}))
                << "a child is not drawn yet";
            // A third of the genes come from the partner, and a new gene
            // (once in nine) is a 1 a quarter of the time.
            const auto ones = std::count(std::begin(child->dna), std::end(child->dna), 1);
            EXPECT_EQ(ones >= 4, !own) << ones << " genes 1";
            if constexpr (is_terrarium<S>) {
                for (int i = 0; i < 5; i++)
                    EXPECT_EQ(terrarium::attraction(child, "ABCD@"[i]), want[i]) << "attraction to " << "ABCD@"[i];
            }
        }
    });
}

TEST(Birth, IsGivenUpWithoutABlankCellOrMemory)
{
    // Nothing changes then: the ring, the parent's food, the count. The search
    // ends on a map without a blank cell, and finds the last one anywhere.
    for_both([](auto side) {
        using S = decltype(side);
        S::blank(12, 12);
        draw(std::vector<std::string>(12, std::string(12, '~')));
        auto *parent = S::add(5, 5, 'M');
        parent->food = 5000;
        S::mate();
        EXPECT_EQ(common::ring_size(parent) * 10000 + parent->food, 15000) << S::name;
        S::w().map.write(11, 0, ' ');
        S::mate();
        ASSERT_EQ(common::ring_size(parent), 2) << S::name;
        EXPECT_EQ(parent->next->y * 100 + parent->next->x, 1100) << S::name;
        // No memory for the record; then none for the index to grow by.
        for (int i = 0; common::ring_size(parent) < 64; i++)
            S::add(i / 12, i % 12, 'Q');
        S::w().map.write(11, 1, ' ');
        const int food = parent->food;
        static int allowed;
        for (int records : {0, 1}) {
            allowed = records;
            common::hooks.allocate = [](std::size_t bytes) { return allowed-- > 0 ? std::malloc(bytes) : nullptr; };
            S::mate();
        }
        common::hooks.allocate = common::default_hooks.allocate;
        EXPECT_EQ(common::ring_size(parent) * 10000 + parent->food, 640000 + food) << S::name;
        EXPECT_EQ(is_terrarium<S> ? 64 : vivarium_side::w().population, 64) << S::name << ": vivarium's count";
        S::mate();
        EXPECT_EQ(common::ring_size(parent), 65) << S::name << ": with memory again, the birth happens";
    });
}

TEST(Findbug, FirstInRingOrderFromTheCursorOrTheLostBugReport)
{
    for_both([](auto side) {
        using S = decltype(side);
        S::blank(10, 10);
        auto *a = S::add(4, 4, 'A');
        auto *b = S::add(7, 3, 'B');
        auto *c = S::add(7, 3, 'C', 2);
        EXPECT_EQ(S::w().findbug(4, 4), a) << S::name << ": the cursor's own cell first";
        EXPECT_EQ(S::w().findbug(7, 3), b) << S::name;
        S::cursor() = c;
        EXPECT_EQ(S::w().findbug(7, 3), c) << S::name << ": the walk starts at the cursor";
        EXPECT_EQ(common::exit_status(common::run_rule(S::w(), [] { S::w().findbug(1, 2); })), 10) << S::name;
        EXPECT_EQ(S::w().outcome_message, "this bug if fucked\nbug x =3\nbug y =7\nbug v =2\nlook x =2\nlook y =1\n");
    });
    // Children always right after the parent: the room between ring-order
    // labels halves with each birth until the labels must be spread again.
    terrarium_side::blank(60, 60);
    terrarium::bug *parent = terrarium_side::add(30, 30, 'M');
    terrarium::bug *other = terrarium_side::add(5, 5, 'Q');
    for (int i = 0; i < 200; i++) {
        parent->food = 100000;
        terrarium_side::mate();
        terrarium::bug *child = parent->next;
        int y = child->y, x = child->x;
        child->y = child->x = 30;  // on the parent's cell, as a birth may be
        terrarium_side::w().index.move(child, y, x);
    }
    EXPECT_EQ(terrarium_side::w().index.first_from(parent, 30, 30), parent);
    EXPECT_EQ(terrarium_side::w().index.first_from(parent->next, 30, 30), parent->next);
    EXPECT_EQ(terrarium_side::w().index.first_from(other, 30, 30), parent) << "across the end of the ring";
}

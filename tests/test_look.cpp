// What a bug sees and does: ray weights, vivarium's pattern, encounters, the decision table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <tuple>

#include "common/decide.h"
#include "common/direction.h"
#include "common/random.h"
#include "terrarium/weigh.h"
#include "terrarium/look.h"
#include "tests/support/world.h"
#include "vivarium/look.h"

using common::REST, common::STEP, common::TURN_LEFT, common::TURN_RIGHT;

TEST(Perception, TerrariumWeightsAndRays)
{
    auto ray_weight = [](int depth, int dir, int dy, int dx) {
        return terrarium::ray_weight(terrarium_side::w(), depth, dir, dy, dx);
    };
    // Size 10: well fed from 600; then its race weighs the surplus, the rest half.
    const std::tuple<int, char, int, float> weights[] = {{599, '@', 3, 5.0f}, {600, '@', 3, 2.5f}, {700, 'M', 2, 50.0f},
                                                         {600, 'M', 2, 0.0f}, {599, 'M', 2, 2.5f}, {700, 'Q', 1, 2.5f},
                                                         {100, '~', 4, -1.5f}};
    terrarium_side::blank(20, 20);
    terrarium::bug *b = terrarium_side::add(10, 10, 'M', 1);
    terrarium::attraction(b, '~') = -6;
    for (const auto &[food, glyph, depth, want] : weights) {
        b->food = food;
        EXPECT_EQ(terrarium::weigher(b)(glyph, depth), want) << "food " << food << " glyph " << glyph;
    }
    b->food = 0, b->vision = 4;  // hungry: '@' weighs 15 / depth
    draw({"", "", "", "", "", "", "", "", "", "", "           @ @ @"});  // depths 1, 3 and 5, facing east
    EXPECT_EQ(ray_weight(1, 1, 0, 1), 15.0f + 5.0f) << "up to its vision";
    current_world().map.write(10, 12, 'Q');
    EXPECT_EQ(ray_weight(1, 1, 0, 1), 15.0f + 2.5f) << "a bug ends the ray, counted";
    b->vision = 1;
    EXPECT_EQ(ray_weight(3, 1, 0, 1), 5.0f) << "a ray starting beyond the vision counts its cell";
    terrarium_side::blank(2, 5);
    terrarium_side::add(0, 2, 'M', 0)->food = 0;
    current_world().map.write(1, 2, '@');
    EXPECT_FLOAT_EQ(ray_weight(1, 0, -1, 0), 15.0f + 5.0f + 3.0f) << "round a map smaller than the vision";
    terrarium_side::cursor()->vision = 20;  // rays beyond the longest the fast sum holds: 15 x (1 + 1/3 + ... + 1/19)
    EXPECT_NEAR(ray_weight(1, 0, -1, 0), 15 * 2.133256, 1e-4);
}

TEST(Encounter, TerrariumMatesEatsAndFights)
{
    // M (size 20, vision 4) faces a bug (size 10) or ripe food, 3 bugs in all; action -1: not STEP.
    struct row {
        const char *name;
        char ahead;
        int food, other_food, food_motive, race_motive;
        int action, ring, food_after, other_food_after, other_motive_after, race_motive_after, vision_after;
    };
    const row rows[] = {
        {"above 60 x size it mates, even hating its race", 'M', 1201, 1000, 15, -3, REST, 4, 500, 1000, 5, -3, 4},
        {"60 x size is not enough", 'M', 1200, 1000, 15, -3, -1, 3, 1200, 1000, 5, -3, 4},
        {"a kill: 60 x the victim's size, the lesson", 'Q', 100, 15, 15, 5, REST, 2, 700, -5, 5, 15, 3},
        {"a survivor at 0", 'Q', 100, 20, 15, 5, REST, 3, 100, 0, 5, 5, 3},
        {"a killer that hates food teaches fear", 'Q', 100, 40, -4, 5, REST, 3, 100, 20, -15, 5, 3},
        {"no attraction, no attack", 'Q', 100, 1000, 15, 0, -1, 3, 100, 1000, 5, 0, 4},
        {"ripe food eaten when wanted", '@', 100, 1000, 15, 15, STEP, 3, 115, 1000, 5, 15, 4},
        {"not eaten otherwise", '@', 100, 1000, 0, 0, REST, 3, 100, 1000, 5, 0, 4},
    };
    for (const row &r : rows) {
        terrarium_side::blank(10, 10);
        terrarium::bug *me = terrarium_side::add(5, 5, 'M', 1);
        terrarium_side::add(1, 1, 'P');
        terrarium::bug *other = terrarium_side::add(r.ahead == '@' ? 8 : 5, 6, r.ahead == '@' ? 'Q' : r.ahead);
        current_world().map.write(5, 6, r.ahead);
        me->size = 20, me->vision = 4, me->food = r.food, other->food = r.other_food;
        terrarium::attraction(me, '@') = r.food_motive, terrarium::attraction(me, r.ahead) = r.race_motive;
        const int action = terrarium::behave(terrarium_side::w());
        EXPECT_TRUE(r.action >= 0 ? action == r.action : action != STEP) << r.name << ": " << action;
        // A kill leaves a seedling, and ripe food worth the victim's size less.
        EXPECT_EQ(std::vector<long>({common::ring_size(me), me->food, me->vision, terrarium::attraction(me, r.ahead),
                                    terrarium::attraction(me, '@'), current_world().map.read(5, 6)}),
                  std::vector<long>({r.ring, r.food_after, r.vision_after, r.race_motive_after,
                                    r.food_motive - (r.ring == 2 ? 10 : 0), r.ring == 2 ? '.' : r.ahead})) << r.name;
        if (r.ring != 2) {
            EXPECT_EQ(std::vector<int>({other->food, terrarium::attraction(other, 'M')}),
                      std::vector<int>({r.other_food_after, r.other_motive_after})) << r.name << ": the other bug";
        }
    }
    // Never a step into a blocker, nor an attack on itself: one cell wide, the cell ahead is its own.
    terrarium_side::blank(3, 1);
    terrarium::bug *me = terrarium_side::add(0, 0, 'M', 1);
    terrarium::attraction(me, 'Q') = 50;
    std::fill(std::begin(me->dna), std::end(me->dna), STEP);
    for (char ahead : {'~', '#', 'Q'}) {
        current_world().map.write(0, 0, ahead);
        EXPECT_NE(terrarium::behave(terrarium_side::w()), STEP) << ahead;
    }
    EXPECT_EQ(me->food, 1000) << "it attacked itself";
}

TEST(Perception, VivariumScoresItsFixedPatternWithHiddenCells)
{
    struct row {
        const char *name;
        int food;
        std::vector<std::tuple<int, int, char>> cells;  // ahead, right, glyph
        int ahead, left, right;
    };
    const row rows[] = {
        {"three ahead over ground", 500, {{3, 0, '@'}}, 1, 0, 0},
        {"two ahead hides three ahead", 500, {{2, 0, '@'}, {3, 0, '@'}}, 1, 0, 0},
        {"beside two ahead, hidden by water", 500, {{2, 0, '~'}, {2, -1, '@'}, {2, 1, '@'}}, 0, 0, 0},
        {"a seedling ahead hides all ahead", 599, {{1, 0, '.'}, {2, 0, '@'}, {1, 1, '@'}}, 0, 0, 1},
        {"front diagonals count ahead and aside", 500, {{1, -1, '@'}, {1, 1, '@'}}, 2, 1, 1},
        {"a blocked near side hides the rest", 500, {{0, -1, '#'}, {0, -2, '@'}, {1, -2, '@'}}, 0, 0, 0},
        {"a near side cell counts, blocking", 500, {{0, -1, '@'}, {0, -2, '@'}}, 0, 1, 0},
        {"two aside blocked hides what is beyond", 500, {{0, 2, '~'}, {0, 3, '@'}, {1, 2, '@'}}, 0, 0, 0},
        {"an open side: the whole pattern, nothing behind", 500, {{0, -3, '@'}, {1, -2, '@'}, {-1, 0, '@'}}, 0, 2, 0},
        {"600: neither food nor kind", 600, {{2, 0, '@'}, {0, 1, 'A'}}, 0, 0, 0},
        {"fed: its race, not food or others", 601, {{2, 0, 'A'}, {0, 1, '@'}, {0, -1, 'B'}}, 1, 0, 0},
    };
    for (int v = 0; v < 4; v++)
        for (const row &r : rows) {
            vivarium_side::blank(17, 17);
            vivarium_side::add(8, 8, 'A', v)->food = r.food;
            for (const auto &[ahead, right, glyph] : r.cells) {
                int row = 0, col = 0;
                common::relative_cell(v, 8, 8, ahead, right, &row, &col);
                current_world().map.write(row, col, glyph);
            }
            vivarium::scores s = vivarium::score_cells(vivarium_side::w());
            EXPECT_EQ(std::vector<int>({s.ahead, s.left, s.right}), std::vector<int>({r.ahead, r.left, r.right}))
                << r.name << ", facing " << v;
        }
}

TEST(Decide, EveryRowOfTheTable)
{
    struct row {
        const char *name;
        float f, l, r;
        int gene;
        bool open;
        std::set<int> want;  // over many random states
        int draws;           // of the generator
    };
    const row rows[] = {
        {"1: nothing positive, the gene", 0, 0, 0, TURN_LEFT, true, {TURN_LEFT}, 0},
        {"1: a step into a blocked cell is replaced", 0, 0, 0, STEP, false, {REST, TURN_LEFT, TURN_RIGHT}, 1},
        {"1: a step into an open cell", -1, -2, 0, STEP, true, {STEP}, 0},
        {"2: ahead strongest and open", 3, 1, 2, REST, true, {STEP}, 0},
        {"2: ahead strongest, blocked, a turning gene", 3, 1, 2, TURN_RIGHT, false, {TURN_RIGHT}, 0},
        {"2: ahead strongest, blocked, no turning gene", 3, 1, 2, STEP, false, {TURN_LEFT, TURN_RIGHT}, 1},
        {"3: left strongest", 1, 3, 2, STEP, true, {TURN_LEFT}, 0},
        {"4: right strongest", 1, 2, 3, STEP, true, {TURN_RIGHT}, 0},
        {"5: the sides tie above ahead, a turning gene", 1, 2.5, 2.5, TURN_LEFT, true, {TURN_LEFT}, 0},
        {"5: the sides tie, step or rest become a turn", 1, 2.5, 2.5, STEP, true, {TURN_LEFT, TURN_RIGHT}, 1},
        {"6: ahead ties right, blocked", 3, 0, 3, STEP, false, {TURN_RIGHT}, 0},
        {"6: ahead ties right, open, the gene fits", 3, 0, 3, STEP, true, {STEP}, 0},
        {"6: ahead ties right, open, gene left", 3, 0, 3, TURN_LEFT, true, {TURN_RIGHT, STEP}, 1},
        {"7: ahead ties left, blocked", 3, 3, 0, STEP, false, {TURN_LEFT}, 0},
        {"7: ahead ties left, open, the gene fits", 3, 3, 0, TURN_LEFT, true, {TURN_LEFT}, 0},
        {"7: ahead ties left, open, gene rest", 3, 3, 0, REST, true, {TURN_LEFT, STEP}, 1},
        {"8: a three-way tie, open, the gene", 2, 2, 2, TURN_RIGHT, true, {TURN_RIGHT}, 0},
        {"8: a three-way tie, open, rest replaced", 2, 2, 2, REST, true, {TURN_LEFT, TURN_RIGHT, STEP}, 1},
        {"8: a three-way tie, blocked, step replaced", 2, 2, 2, STEP, false, {TURN_LEFT, TURN_RIGHT}, 1},
    };
    for (const row &r : rows) {
        std::set<int> seen;
        int right_draws = 0;  // a fitting gene draws nothing, so that runs stay as they were
        common::random_stream random;
        for (unsigned seed = 1; seed <= 64; seed++) {
            random.reseed(seed);
            const int draws[] = {random.next(), random.next()};
            random.reseed(seed);
            seen.insert(common::decide(random, r.f, r.l, r.r, r.gene, r.open));
            right_draws += random.next() == draws[r.draws];
        }
        EXPECT_EQ(seen, r.want) << r.name;
        EXPECT_EQ(right_draws, 64) << r.name << ": " << r.draws << " draws";
    }
}

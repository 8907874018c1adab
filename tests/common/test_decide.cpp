// The decision table: every row, and where it draws from rand().
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "common/decide.h"

namespace {

// Every action the table can give for these scores, gene and openness,
// over many random states.
std::set<int> outcomes(float f, float l, float r, int gene, bool open)
{
    std::set<int> seen;
    for (unsigned seed = 1; seed <= 64; seed++) {
        std::srand(seed);
        seen.insert(decide(f, l, r, gene, open));
    }
    return seen;
}

}  // namespace

TEST(Decide, EveryRowOfTheTable)
{
    struct row {
        const char *name;
        float f, l, r;
        int gene;
        bool open;
        std::set<int> want;
    };
    const row rows[] = {
        {"1: nothing positive, the gene", 0, 0, 0, TURN_LEFT, true, {TURN_LEFT}},
        {"1: step into a blocked cell is replaced", 0, 0, 0, STEP, false, {REST, TURN_LEFT, TURN_RIGHT}},
        {"1: step into an open cell", -1, -2, 0, STEP, true, {STEP}},
        {"2: ahead strongest and open", 3, 1, 2, REST, true, {STEP}},
        {"2: ahead strongest, blocked, gene a turn", 3, 1, 2, TURN_RIGHT, false, {TURN_RIGHT}},
        {"2: ahead strongest, blocked, gene no turn", 3, 1, 2, STEP, false, {TURN_LEFT, TURN_RIGHT}},
        {"3: left strongest", 1, 3, 2, STEP, true, {TURN_LEFT}},
        {"4: right strongest", 1, 2, 3, STEP, true, {TURN_RIGHT}},
        {"5: sides tie above ahead, gene a turn", 1, 2.5, 2.5, TURN_LEFT, true, {TURN_LEFT}},
        {"5: sides tie, step or rest become a turn", 1, 2.5, 2.5, STEP, true, {TURN_LEFT, TURN_RIGHT}},
        {"6: ahead ties right, blocked", 3, 0, 3, STEP, false, {TURN_RIGHT}},
        {"6: ahead ties right, open, gene fits", 3, 0, 3, STEP, true, {STEP}},
        {"6: ahead ties right, open, gene left", 3, 0, 3, TURN_LEFT, true, {TURN_RIGHT, STEP}},
        {"7: ahead ties left, blocked", 3, 3, 0, STEP, false, {TURN_LEFT}},
        {"7: ahead ties left, open, gene fits", 3, 3, 0, TURN_LEFT, true, {TURN_LEFT}},
        {"7: ahead ties left, open, gene rest", 3, 3, 0, REST, true, {TURN_LEFT, STEP}},
        {"8: three-way tie, open, gene", 2, 2, 2, TURN_RIGHT, true, {TURN_RIGHT}},
        {"8: three-way tie, open, rest replaced", 2, 2, 2, REST, true, {TURN_LEFT, TURN_RIGHT, STEP}},
        {"8: three-way tie, blocked, step replaced", 2, 2, 2, STEP, false, {TURN_LEFT, TURN_RIGHT}},
    };
    for (const row &r : rows)
        EXPECT_EQ(outcomes(r.f, r.l, r.r, r.gene, r.open), r.want) << r.name;
}

TEST(Decide, DrawsOnlyWhenTheGeneDoesNotFit)
{
    // A fitting gene leaves the generator where it was.
    std::srand(5);
    int expected_next = std::rand();
    std::srand(5);
    decide(3, 3, 0, TURN_LEFT, true);
    decide(0, 0, 0, REST, false);
    decide(3, 1, 1, REST, true);
    EXPECT_EQ(std::rand(), expected_next);
    // An unfitting one draws exactly once.
    std::srand(5);
    std::rand();
    int after_one = std::rand();
    std::srand(5);
    decide(2, 2, 2, REST, true);
    EXPECT_EQ(std::rand(), after_one);
}

// What an earlier bug sees and does: the fixed cell pattern, mating,
// eating and the open test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "common/decide.h"
#include "vivarium/findbug.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"
#include "vivarium/look.h"
#include "tests/support/headless.h"
#include "tests/support/vivarium_world.h"

using namespace vivarium;
using namespace vivarium_test;

namespace {

// The cell a ahead and b to the right of a bug at (y, x) facing v, by the
// table of facings (rows and columns not yet wrapped).
std::pair<int, int> cell_of(int v, int y, int x, int a, int b)
{
    switch (v) {
    case 0: return {y - a, x + b};
    case 1: return {y + b, x + a};
    case 2: return {y + a, x - b};
    default: return {y - b, x - a};
    }
}

void put_rel(const bug *me, int a, int b, char glyph)
{
    auto [row, col] = cell_of(me->vector, me->y, me->x, a, b);
    put((row + map_rows) % map_rows, (col + map_cols) % map_cols, glyph);
}

// A lone bug of race 'A' at (8, 8) of a blank 17 x 17 map.
bug *lone_bug(int food, int vector = 0)
{
    blank_world(17, 17);
    bug *me = add_bug(8, 8, 'A', vector);
    me->food = food;
    return me;
}

using layout = std::map<std::pair<int, int>, char>;

}  // namespace

TEST(Peek, ReadsRelativeToTheFacingWithWrapAround)
{
    struct row {
        int y, x, v, a, b;
        int row, col;
    };
    const row rows[] = {
        {0, 0, 0, 1, 0, 16, 0},  // north from row 0: the last row
        {5, 0, 3, 1, 0, 5, 16},  // west from column 0: the last column
        {16, 3, 2, 1, 0, 0, 3},  // south from the last row: row 0
        {3, 16, 1, 1, 0, 3, 0},  // east from the last column: column 0
        {5, 5, 1, 1, 1, 6, 6},   // east: one below the cell ahead
        {5, 5, 3, 1, 1, 4, 4},   // west: one above the cell ahead
        {5, 5, 0, 0, -3, 5, 2},  // north: three to the left
        {5, 5, 2, 3, 0, 8, 5},
        {1, 1, 0, 3, -2, 15, 16},
    };
    for (const row &r : rows) {
        blank_world(17, 17);
        add_bug(r.y, r.x, 'A', r.v);
        put(r.row, r.col, '*');
        std::string name = "at " + std::to_string(r.y) + "," + std::to_string(r.x) + " facing " +
                           std::to_string(r.v) + " peek(" + std::to_string(r.a) + "," + std::to_string(r.b) + ")";
        EXPECT_EQ(peek(r.a, r.b), '*') << name;
    }
    free_world();
}

TEST(Motivate, FoodAndKindAroundSixHundred)
{
    struct row {
        int food;
        char glyph;
        int score;
    };
    const row rows[] = {
        {599, '@', 1}, {600, '@', 0}, {601, '@', 0}, {-5, '@', 1},
        {599, 'A', 0}, {600, 'A', 0}, {601, 'A', 1}, {5000, 'A', 1},
        {100, 'B', 0}, {5000, 'B', 0}, {100, '.', 0}, {100, '#', 0}, {100, ' ', 0},
    };
    for (const row &r : rows) {
        lone_bug(r.food);
        EXPECT_EQ(motivate(r.glyph), r.score) << "food " << r.food << " glyph '" << r.glyph << "'";
    }
    free_world();
}

TEST(Scores, FixedPatternWithHiddenCells)
{
    struct row {
        const char *name;
        int food;
        layout cells;  // (a, b) -> glyph
        int ahead, left, right;
    };
    const row rows[] = {
        {"nothing around", 500, {}, 0, 0, 0},
        {"food two ahead", 500, {{{2, 0}, '@'}}, 1, 0, 0},
        {"food three ahead over ground", 500, {{{3, 0}, '@'}}, 1, 0, 0},
        {"three ahead hidden by a mountain two ahead", 500, {{{2, 0}, '#'}, {{3, 0}, '@'}}, 0, 0, 0},
        {"the two cells beside two ahead", 500, {{{2, -1}, '@'}, {{2, 1}, '@'}}, 2, 0, 0},
        {"beside two ahead hidden by water", 500, {{{2, 0}, '~'}, {{2, -1}, '@'}, {{2, 1}, '@'}}, 0, 0, 0},
        {"food two ahead and beyond it", 500, {{{2, 0}, '@'}, {{3, 0}, '@'}}, 1, 0, 0},
        {"a seedling ahead hides all ahead", 500, {{{1, 0}, '.'}, {{2, 0}, '@'}, {{1, 1}, '@'}}, 0, 0, 1},
        {"front diagonal counts ahead and left", 500, {{{1, -1}, '@'}}, 1, 1, 0},
        {"front diagonal counts ahead and right", 500, {{{1, 1}, '@'}}, 1, 0, 1},
        {"near left cell counts though it blocks", 500, {{{0, -1}, '@'}, {{0, -2}, '@'}}, 0, 1, 0},
        {"blocked near left hides the rest",
         500,
         {{{0, -1}, '#'}, {{0, -2}, '@'}, {{0, -3}, '@'}, {{1, -2}, '@'}, {{1, -1}, '@'}},
         1,
         0,
         0},
        {"open left: the whole pattern",
         500,
         {{{0, -2}, ' '}, {{0, -3}, '@'}, {{1, -2}, '@'}, {{1, -1}, '@'}},
         1,
         3,
         0},
        {"left two is food: three hidden", 500, {{{0, -2}, '@'}, {{0, -3}, '@'}, {{1, -2}, '@'}}, 0, 1, 0},
        {"right mirrors left", 500, {{{0, 1}, ' '}, {{0, 2}, '@'}, {{1, 2}, '@'}}, 0, 0, 1},
        {"right: far cells over ground", 500, {{{0, 3}, '@'}, {{1, 2}, '@'}}, 0, 0, 2},
        {"behind counts nothing", 500, {{{-1, 0}, '@'}, {{-2, 0}, '@'}}, 0, 0, 0},
        {"fed: own race two ahead", 700, {{{2, 0}, 'A'}, {{3, 0}, 'A'}}, 1, 0, 0},
        {"fed: food is not wanted", 700, {{{2, 0}, '@'}, {{0, 1}, '@'}}, 0, 0, 0},
        {"600: neither food nor kind", 600, {{{2, 0}, '@'}, {{0, 1}, 'A'}, {{0, -1}, '@'}}, 0, 0, 0},
        {"other races never count", 5000, {{{2, 0}, 'B'}, {{0, 1}, 'C'}}, 0, 0, 0},
    };
    for (int v = 0; v < 4; v++)
        for (const row &r : rows) {
            bug *me = lone_bug(r.food, v);
            for (const auto &[where, glyph] : r.cells)
                put_rel(me, where.first, where.second, glyph);
            scores s = score_cells();
            std::string name = std::string(r.name) + ", facing " + std::to_string(v);
            EXPECT_EQ(s.ahead, r.ahead) << name;
            EXPECT_EQ(s.left, r.left) << name;
            EXPECT_EQ(s.right, r.right) << name;
        }
    free_world();
}

TEST(Look, MatingNeedsMoreThanSixHundred)
{
    struct row {
        int food;
        bool mates;
    };
    for (const row &r : {row{600, false}, row{601, true}, row{900, true}}) {
        blank_world(17, 17);
        bug *me = add_bug(8, 8, 'A', 0);
        bug *partner = add_bug(7, 8, 'A', 2);
        put(7, 8, 'A');
        me->food = r.food;
        int result = look(5);
        std::string name = "food " + std::to_string(r.food);
        EXPECT_EQ(population, r.mates ? 3 : 2) << name;
        EXPECT_EQ(ring_size(), population) << name;
        if (r.mates) {
            EXPECT_EQ(result, REST) << name;
            EXPECT_NE(me->next, partner) << name << ": the child comes right after the parent";
        } else {
            EXPECT_NE(result, STEP) << name << ": a letter ahead is not open";
        }
    }
    free_world();
}

TEST(Look, ThePartnerIsLookedUpOnlyBelowTwelveHundred)
{
    struct row {
        int food;
        bool stops;
    };
    for (const row &r : {row{601, true}, row{1199, true}, row{1200, false}}) {
        blank_world(17, 17);
        bug *me = add_bug(8, 8, 'A', 1);
        add_bug(0, 0, 'B');
        put(8, 9, 'A');  // a letter with no bug under it
        me->food = r.food;
        std::string name = "food " + std::to_string(r.food);
        try {
            EXPECT_EQ(look(0), REST) << name;
            EXPECT_FALSE(r.stops) << name;
            EXPECT_EQ(population, 3) << name;
        } catch (const stop_seen &s) {
            EXPECT_TRUE(r.stops) << name;
            EXPECT_EQ(s.status, 10) << name;
            EXPECT_EQ(s.message, "this bug if fucked\nbug x =8\nbug y =8\nbug v =1\nlook x =9\nlook y =8\n")
                << name;
            EXPECT_EQ(population, ring_size()) << name << ": a failed lookup counts no birth";
        }
    }
    free_world();
}

TEST(Look, RipeFoodAheadIsAlwaysEaten)
{
    for (int food : {-5, 0, 599, 600, 601, 1199, 5000}) {
        bug *me = lone_bug(food, 3);
        put_rel(me, 1, 0, '@');
        EXPECT_EQ(look(0), STEP) << "food " << food;
        EXPECT_EQ(me->food, food + 20) << "food " << food;
    }
    free_world();
}

TEST(Look, OnlyBareGroundAheadIsOpen)
{
    for (char ahead : {'.', '*', '~', '#', 'B'})
        for (unsigned seed = 1; seed <= 30; seed++) {
            bug *me = lone_bug(500, 1);
            for (int &gene : me->dna)
                gene = STEP;
            put_rel(me, 1, 0, ahead);
            std::srand(seed);
            int result = look(3);
            EXPECT_GE(result, REST) << "ahead '" << ahead << "'";
            EXPECT_LE(result, TURN_RIGHT) << "ahead '" << ahead << "': a STEP gene is replaced";
        }
    bug *me = lone_bug(500, 1);
    for (int &gene : me->dna)
        gene = STEP;
    EXPECT_EQ(look(3), STEP) << "bare ground ahead: the gene stands";
    free_world();
}

TEST(Look, StepsTowardsFoodSeen)
{
    bug *me = lone_bug(100, 2);
    put_rel(me, 3, 0, '@');
    EXPECT_EQ(look(0), STEP);
    me = lone_bug(100, 2);
    put_rel(me, 0, -3, '@');
    EXPECT_EQ(look(0), TURN_LEFT);
    me = lone_bug(100, 2);
    put_rel(me, 0, 2, '@');
    EXPECT_EQ(look(0), TURN_RIGHT);
    free_world();
}

// The earlier statistics screen: the counted walk, races in byte order,
// the totals row always.
#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "vivarium/globals.h"
#include "vivarium/init.h"
#include "vivarium/mate_die.h"
#include "vivarium/stat.h"
#include "tests/support/headless.h"
#include "tests/support/vivarium_world.h"

using namespace vivarium;
using namespace vivarium_test;

namespace {

std::string screen_row(int row)
{
    char text[81] = {};
    mvwinnstr(stdscr, row, 0, text, 80);
    std::string line(text);
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

// The words of a screen row, tabs and spaces alike.
std::vector<std::string> words(int row)
{
    std::istringstream in(screen_row(row));
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

using line = std::vector<std::string>;

bug *with(bug *b, int age, int food, int gen, int size)
{
    b->age = age;
    b->food = food;
    b->gen = gen;
    b->size = size;
    return b;
}

// Races C, A, B in ring order with populations 3, 1, 2.
void three_races()
{
    blank_world(17, 17);
    with(add_bug(0, 0, 'C'), 10, 500, 1, 50);
    with(add_bug(0, 1, 'A'), 4, 90, 2, 7);
    with(add_bug(0, 2, 'B'), 1, 100, 1, 2);
    with(add_bug(0, 3, 'C'), 20, 700, 3, 60);
    with(add_bug(0, 4, 'B'), 2, 201, 1, 5);
    with(add_bug(0, 5, 'C'), 30, 900, 1, 70);
}

}  // namespace

TEST(Stat, FixedHeaderAndLabels)
{
    three_races();
    stat();
    EXPECT_EQ(screen_row(0), "Status --------------------------------------------------------------");
    EXPECT_EQ(screen_row(1), "race    pop     age     amax    food    fmax    smin    savg    smax");
    free_world();
}

TEST(Stat, RacesInByteOrderWithTheirFigures)
{
    three_races();
    stat();
    // Totals: 6 bugs, ages 67 / 6 = 11, food 2491 / 6 = 415.
    EXPECT_EQ(words(2), (line{"all", "6", "11", "415"}));
    EXPECT_EQ(words(3), (line{"A", "1", "4", "4", "90", "90", "7", "7", "7"}));
    EXPECT_EQ(words(4), (line{"B", "2", "1", "2", "150", "201", "2", "3", "5"}));
    EXPECT_EQ(words(5), (line{"C", "3", "20", "30", "700", "900", "50", "60", "70"}));
    EXPECT_EQ(screen_row(6), "");
    free_world();
}

TEST(Stat, TheTotalsRowPutsItsFiguresUnderTheirLabels)
{
    three_races();
    stat();
    std::string totals = screen_row(2);
    EXPECT_EQ(totals.substr(0, 3), "all");
    EXPECT_EQ(totals.substr(8, 1), "6");    // pop
    EXPECT_EQ(totals.substr(16, 2), "11");  // age
    EXPECT_EQ(totals.substr(32, 3), "415"); // food
    free_world();
}

TEST(Stat, ARaceThatDiesOutIsNoLongerListed)
{
    three_races();
    die(bugs->next);  // the only A
    stat();
    EXPECT_EQ(words(2)[1], "5");
    EXPECT_EQ(words(3)[0], "B");
    EXPECT_EQ(words(4)[0], "C");
    EXPECT_EQ(screen_row(5), "");
    free_world();
}

TEST(Stat, AveragesTruncateTowardZero)
{
    blank_world(17, 17);
    with(add_bug(0, 0, 'D'), 1, -3, 1, 2);
    with(add_bug(0, 1, 'D'), 2, 0, 1, 3);
    stat();
    EXPECT_EQ(words(2), (line{"all", "2", "1", "-1"}));
    EXPECT_EQ(words(3), (line{"D", "2", "1", "2", "-1", "0", "2", "2", "3"}));
    free_world();
}

TEST(Stat, TheWalkCountsThePopulation)
{
    struct row {
        int population;
        line totals;
        int race_rows;
    };
    const row rows[] = {
        {0, {"all", "0", "0", "0"}, 0},
        {2, {"all", "2", "7", "295"}, 2},  // C and A, the first two in ring order
        {6, {"all", "6", "11", "415"}, 3},
    };
    for (const row &r : rows) {
        three_races();
        population = r.population;
        stat();
        std::string name = "population " + std::to_string(r.population);
        EXPECT_EQ(words(2), r.totals) << name;
        int listed = 0;
        while (!screen_row(3 + listed).empty())
            listed++;
        EXPECT_EQ(listed, r.race_rows) << name;
        population = 6;
    }
    free_world();
}

TEST(Stat, CountsTableStartsEmpty)
{
    race_counts c;
    c.count = 7;
    c.age = {1, 2, 3};
    init_counts(&c);
    EXPECT_EQ(c.count, 0);
    for (const span *s : {&c.age, &c.food, &c.gen, &c.size}) {
        EXPECT_EQ(s->min, INT_MAX);
        EXPECT_EQ(s->sum, 0);
        EXPECT_EQ(s->max, INT_MIN);
    }
}

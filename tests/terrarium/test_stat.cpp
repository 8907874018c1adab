// The statistics screen, read back from stdscr on a null terminal.
#include <gtest/gtest.h>

#include <climits>
#include <regex>
#include <string>
#include <vector>

#include "terrarium/globals.h"
#include "terrarium/stat.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using terrarium_test::add_bug;
using terrarium_test::blank_world;

namespace {

// Row `row` of stdscr, without trailing blanks.
std::string screen_row(int row)
{
    std::vector<char> text(static_cast<size_t>(COLS) + 1, '\0');
    if (mvwinnstr(stdscr, row, 0, text.data(), COLS) == ERR)
        return "<off screen>";
    std::string line(text.data());
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

std::vector<std::string> screen_rows()
{
    std::vector<std::string> rows;
    for (int row = 0; row < LINES; row++)
        rows.push_back(screen_row(row));
    return rows;
}

// What curses makes of a printed line: tabs to the next multiple of 8,
// trailing blanks dropped.
std::string tabbed(const std::string &text)
{
    std::string line;
    for (char c : text) {
        if (c == '\t')
            line.append(8 - line.size() % 8, ' ');
        else
            line += c;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

const std::string labels = tabbed("race\tpop\tage\tamax\tafood\tsavg\tsmax\tfavg\tfmax ");

bug *bug_with(char race, int age, int food, int size, int vision)
{
    bug *b = add_bug(0, 0, race);
    b->age = age;
    b->food = food;
    b->size = size;
    b->vision = vision;
    return b;
}

// `n` bugs of a race, all as add_bug makes them (age 0, food 1000, size
// 10, vision 5).
void add_race(char race, int n)
{
    for (int i = 0; i < n; i++)
        add_bug(0, 0, race);
}

}  // namespace

TEST(Stat, InitCountsResetsEveryQuantityButTheRace)
{
    race_counts c;
    c.count = 7;
    c.race = 'Q';
    c.age_min = c.food_min = c.gen_min = c.size_min = c.vision_min = 3;
    c.age_sum = c.food_sum = c.gen_sum = c.size_sum = c.vision_sum = 3;
    c.age_max = c.food_max = c.gen_max = c.size_max = c.vision_max = 3;
    init_counts(&c);
    EXPECT_EQ(c.count, 0);
    EXPECT_EQ(c.race, 'Q');
    for (int min : {c.age_min, c.food_min, c.gen_min, c.size_min, c.vision_min})
        EXPECT_EQ(min, INT_MAX);
    for (long long sum : {c.age_sum, c.food_sum, c.gen_sum, c.size_sum, c.vision_sum})
        EXPECT_EQ(sum, 0);
    for (int max : {c.age_max, c.food_max, c.gen_max, c.size_max, c.vision_max})
        EXPECT_EQ(max, INT_MIN);
}

TEST(Stat, CmpRacePutsLargerCountsFirst)
{
    race_counts a, b;
    init_counts(&a);
    init_counts(&b);
    a.count = 5;
    b.count = 2;
    EXPECT_EQ(cmp_race(&a, &b), -3);
    EXPECT_EQ(cmp_race(&b, &a), 3);
    b.count = 5;
    EXPECT_EQ(cmp_race(&a, &b), 0);
    a.count = INT_MAX;
    b.count = 0;
    EXPECT_EQ(cmp_race(&a, &b), -INT_MAX);
}

TEST(Stat, HeaderLabelsAndTotals)
{
    blank_world(10, 10);
    roughness = 150;
    grid_size = 4;
    world_size = 2.0f;
    bug_with('B', 4, 100, 10, 3);
    stat();
    std::string header = screen_row(0);
    EXPECT_TRUE(std::regex_match(header, std::regex("Status -- 150/4 -- 2\\.00 -- 503 -- "
                                                    "[A-Z][a-z][a-z] [ 1-3][0-9] [0-9]{4} -- "
                                                    "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] --")))
        << header;
    EXPECT_EQ(screen_row(1), labels);
    EXPECT_EQ(screen_row(2), tabbed("all\t1\t4\t\t100\t\t\t3"));

    roughness = 7;
    grid_size = 8;
    world_size = 0.25f;
    stat();
    EXPECT_EQ(screen_row(0).rfind("Status -- 7/8 -- 0.25 -- 503 -- ", 0), 0u) << screen_row(0);
}

TEST(Stat, OneRaceOnly)
{
    blank_world(10, 10);
    bug *b1 = bug_with('K', 2, 90, 20, 4);
    bug *b2 = bug_with('K', 6, 30, 40, 2);
    bug *b3 = bug_with('K', 7, 60, 30, 6);
    b1->gen = 1;
    b2->gen = 9;
    b3->gen = 2;
    stat();
    std::vector<std::string> rows = screen_rows();
    EXPECT_EQ(rows[2], tabbed("all\t3\t5\t\t60\t\t\t4"));
    // race pop age amax afood savg smax favg fmax
    EXPECT_EQ(rows[3], tabbed("K\t3\t5\t7\t60\t30\t40\t4\t6"));
    for (int row = 4; row < LINES; row++)
        EXPECT_EQ(rows[row], "") << "row " << row;
}

TEST(Stat, OnlyTheMostNumerousRacesThatFitAreListed)
{
    // 10 rows: races on rows 3 to 7, the last two rows left free.
    blank_world(10, 10, 10, 80);
    const char races[] = "DAHCFGBE";  // 'A' gets 8 bugs ... 'H' gets 1
    for (const char *r = races; *r; r++)
        add_race(*r, 'I' - *r);
    stat();
    std::vector<std::string> rows = screen_rows();
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[2], tabbed("all\t36\t0\t\t1000\t\t\t5"));
    const char listed[] = "ABCDE";
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(rows[3 + i], tabbed(std::string(1, listed[i]) + "\t" + std::to_string(8 - i) +
                                      "\t0\t0\t1000\t10\t10\t5\t5"))
            << "row " << 3 + i;
    EXPECT_EQ(rows[8], "");
    EXPECT_EQ(rows[9], "");
}

TEST(Stat, ShortScreensListNoRaceButKeepHeaderLabelsAndTotals)
{
    struct row {
        int lines;
        int races_listed;
    };
    for (row r : {row{4, 0}, row{5, 0}, row{6, 1}, row{7, 2}}) {
        SCOPED_TRACE("LINES " + std::to_string(r.lines));
        blank_world(10, 10, r.lines, 80);
        add_race('A', 3);
        add_race('B', 2);
        add_race('C', 1);
        stat();
        std::vector<std::string> rows = screen_rows();
        EXPECT_EQ(rows[0].rfind("Status -- ", 0), 0u);
        EXPECT_EQ(rows[1], labels);
        EXPECT_EQ(rows[2], tabbed("all\t6\t0\t\t1000\t\t\t5"));
        int listed = 0;
        for (int row = 3; row < r.lines; row++)
            if (!rows[row].empty())
                listed++;
        EXPECT_EQ(listed, r.races_listed);
        if (r.races_listed > 0) {
            EXPECT_EQ(rows[3].substr(0, 9), tabbed("A\t3"));
        }
    }
}

TEST(Stat, ATallScreenListsEveryRaceOnce)
{
    blank_world(10, 10, 300, 80);
    add_race('x', 2);
    add_race('~', 1);
    add_race(' ', 1);
    stat();
    std::vector<std::string> rows = screen_rows();
    EXPECT_EQ(rows[3].substr(0, 9), tabbed("x\t2"));
    EXPECT_EQ(rows[4].substr(0, 9), tabbed(" \t1"));
    EXPECT_EQ(rows[5].substr(0, 9), tabbed("~\t1"));
    for (int row = 6; row < LINES; row++)
        EXPECT_EQ(rows[row], "") << "row " << row;
}

TEST(Stat, RacesOfEqualPopulationAreListedInByteOrder)
{
    blank_world(10, 10);
    for (char race : {'C', 'a', 'Z', 'A', '#', 'B', 'Z'})
        add_bug(0, 0, race);
    stat();
    std::vector<std::string> rows = screen_rows();
    const char order[] = "Z#ABCa";
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(rows[3 + i].substr(0, 1), std::string(1, order[i])) << "row " << 3 + i;
    EXPECT_EQ(rows[3].substr(0, 9), tabbed("Z\t2"));
    EXPECT_EQ(rows[9], "");
}

TEST(Stat, AveragesTruncateTowardZero)
{
    blank_world(10, 10);
    bug_with('F', 1, -1, 3, 1);
    bug_with('F', 2, -2, 4, 2);
    stat();
    // ages 1 and 2 give 1; food -3 over two bugs gives -1, not -2.
    EXPECT_EQ(screen_row(2), tabbed("all\t2\t1\t\t-1\t\t\t1"));
    EXPECT_EQ(screen_row(3), tabbed("F\t2\t1\t2\t-1\t3\t4\t1\t2"));
}

TEST(Stat, TotalsAverageEveryBugNotTheRaceAverages)
{
    blank_world(10, 10);
    bug_with('A', 10, 400, 10, 9);
    bug_with('B', 0, 0, 10, 1);
    bug_with('B', 0, 0, 10, 1);
    bug_with('B', 2, 0, 10, 1);
    stat();
    // Over the bugs: age 12/4 = 3, food 400/4 = 100, vision 12/4 = 3.
    // The race averages would have given 5, 200 and 5.
    EXPECT_EQ(screen_row(2), tabbed("all\t4\t3\t\t100\t\t\t3"));
    EXPECT_EQ(screen_row(3), tabbed("B\t3\t0\t2\t0\t10\t10\t1\t1"));
    EXPECT_EQ(screen_row(4), tabbed("A\t1\t10\t10\t400\t10\t10\t9\t9"));
}

TEST(Stat, ExtremeValuesDoNotOverflowTheSums)
{
    blank_world(10, 10, 24, 200);  // wide enough for ten-digit columns
    for (int i = 0; i < 3; i++)
        bug_with('M', INT_MAX, INT_MAX, 100, INT_MAX);
    for (int i = 0; i < 4; i++)
        bug_with('N', 0, INT_MIN, 2, 1);
    stat();
    const std::string max = std::to_string(INT_MAX), min = std::to_string(INT_MIN);
    const long long age = 3LL * INT_MAX / 7;
    const long long food = (3LL * INT_MAX + 4LL * INT_MIN) / 7;
    const long long vision = (3LL * INT_MAX + 4) / 7;
    EXPECT_EQ(screen_row(2), tabbed("all\t7\t" + std::to_string(age) + "\t\t" + std::to_string(food) +
                                    "\t\t\t" + std::to_string(vision)));
    EXPECT_EQ(screen_row(3), tabbed("N\t4\t0\t0\t" + min + "\t2\t2\t1\t1"));
    EXPECT_EQ(screen_row(4), tabbed("M\t3\t" + max + "\t" + max + "\t" + max + "\t100\t100\t" + max +
                                    "\t" + max));
}

TEST(Stat, TwoCallsInARowDrawTheSameScreen)
{
    blank_world(10, 10);
    bug_with('R', 3, 50, 12, 2);
    bug_with('S', 8, 70, 16, 4);
    bug_with('R', 1, 20, 60, 7);
    bug *cursor = bugs;
    stat();
    std::vector<std::string> once = screen_rows();
    stat();
    EXPECT_EQ(screen_rows(), once);
    EXPECT_EQ(bugs, cursor);
    EXPECT_EQ(terrarium_test::ring_size(), 3);
}

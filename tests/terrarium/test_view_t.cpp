// The motivation table viewer: the window is read back from the screen
// while the viewer sleeps, before it is deleted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/term.h"
#include "terrarium/globals.h"
#include "terrarium/view_t.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using terrarium_test::add_bug;
using terrarium_test::blank_world;

namespace {

// The viewer window: 9 x 35 at screen row 2, column 2.
constexpr int TOP = 2, LEFT = 2, HEIGHT = 9, WIDTH = 35;

std::vector<std::string> seen;  // the window's rows as the terminal shows them
unsigned slept = 0;
int sleeps = 0;

void capture_window(unsigned seconds)
{
    slept = seconds;
    sleeps++;
    seen.clear();
    for (int row = 0; row < HEIGHT; row++) {
        char text[WIDTH + 1] = {};
        mvwinnstr(curscr, TOP + row, LEFT, text, WIDTH);
        seen.push_back(text);
    }
}

// Shows b's table; returns the window's rows as they were on the screen.
std::vector<std::string> shown(bug *b)
{
    seen.clear();
    slept = 0;
    sleeps = 0;
    sleep_seconds = capture_window;
    view_t(b);
    EXPECT_EQ(sleeps, 1);
    EXPECT_EQ(slept, 10u);
    return seen;
}

// Row `row` inside the border, as it should read: the entries, padded.
std::string inside(const std::string &entries) { return "|" + entries + std::string(WIDTH - 2 - entries.size(), ' ') + "|"; }

void expect_border(const std::vector<std::string> &rows)
{
    ASSERT_EQ(rows.size(), static_cast<size_t>(HEIGHT));
    EXPECT_EQ(rows[0].substr(1, WIDTH - 2), std::string(WIDTH - 2, '-'));
    EXPECT_EQ(rows[HEIGHT - 1].substr(1, WIDTH - 2), std::string(WIDTH - 2, '-'));
    for (int row = 1; row < HEIGHT - 1; row++) {
        EXPECT_EQ(rows[row].front(), '|') << "row " << row;
        EXPECT_EQ(rows[row].back(), '|') << "row " << row;
    }
}

// Fills the screen with 'x', so that a blank window shows as blank.
void fill_screen()
{
    for (int row = 0; row < LINES; row++)
        mvwprintw(stdscr, row, 0, "%s", std::string(static_cast<size_t>(COLS), 'x').c_str());
    wrefresh(stdscr);
}

}  // namespace

TEST(ViewT, ASeededBugShowsItsTwentySevenEntries)
{
    blank_world(20, 60);
    bug *b = add_bug(3, 4, 'K');
    std::vector<std::string> rows = shown(b);
    expect_border(rows);
    EXPECT_EQ(rows[1], inside(" @ +0015 A +0005 B +0005 C +0005 "));
    EXPECT_EQ(rows[2], inside(" D +0005 E +0005 F +0005 G +0005 "));
    EXPECT_EQ(rows[3], inside(" H +0005 I +0005 J +0005 K +0005 "));
    EXPECT_EQ(rows[4], inside(" L +0005 M +0005 N +0005 O +0005 "));
    EXPECT_EQ(rows[5], inside(" P +0005 Q +0005 R +0005 S +0005 "));
    EXPECT_EQ(rows[6], inside(" T +0005 U +0005 V +0005 W +0005 "));
    EXPECT_EQ(rows[7], inside(" X +0005 Y +0005 Z +0005"));
}

TEST(ViewT, NegativeValuesShowTheirSignAndFourDigits)
{
    blank_world(20, 60);
    bug *b = add_bug(3, 4, 'K');
    for (int &m : b->motive)
        m = 0;
    attraction(b, '@') = -3;
    attraction(b, 'B') = -120;
    attraction(b, 'Q') = 7;
    attraction(b, 'z') = -9999;
    attraction(b, '~') = 1;
    std::vector<std::string> rows = shown(b);
    expect_border(rows);
    EXPECT_EQ(rows[1], inside(" @ -0003 B -0120 Q +0007 z -9999 "));
    EXPECT_EQ(rows[2], inside(" ~ +0001"));
    for (int row = 3; row < HEIGHT - 1; row++)
        EXPECT_EQ(rows[row], inside("")) << "row " << row;
}

TEST(ViewT, AnAllZeroTableShowsOnlyTheBorder)
{
    blank_world(20, 60);
    bug *b = add_bug(3, 4, 'K');
    for (int &m : b->motive)
        m = 0;
    fill_screen();
    std::vector<std::string> rows = shown(b);
    expect_border(rows);
    for (int row = 1; row < HEIGHT - 1; row++)
        EXPECT_EQ(rows[row], inside("")) << "row " << row;
}

TEST(ViewT, TheTableIsOnlyRead)
{
    blank_world(20, 60);
    bug *b = add_bug(3, 4, 'K');
    bug before = *b;
    shown(b);
    for (int g = 0; g < GLYPHS; g++)
        EXPECT_EQ(b->motive[g], before.motive[g]) << "glyph " << g;
    EXPECT_EQ(b->race, before.race);
}

TEST(ViewT, EntriesPastTheLastRowAreNotShown)
{
    blank_world(20, 60);
    bug *b = add_bug(3, 4, 'K');
    for (int &m : b->motive)
        m = 0;
    // 40 entries, '0' to 'W': rows 1 to 7 hold 28, row 8 (the bottom
    // border) gets four more, 'L' to 'O', and 'P' to 'W' fall outside.
    for (int g = '0'; g < '0' + 40; g++)
        b->motive[g] = 1;
    std::vector<std::string> rows = shown(b);
    EXPECT_EQ(rows[1], inside(" 0 +0001 1 +0001 2 +0001 3 +0001 "));
    EXPECT_EQ(rows[5], inside(" @ +0001 A +0001 B +0001 C +0001 "));
    EXPECT_EQ(rows[7], inside(" H +0001 I +0001 J +0001 K +0001 "));
    EXPECT_EQ(rows[8].substr(2, WIDTH - 3), "L +0001 M +0001 N +0001 O +0001 ");
    char below[WIDTH + 1] = {};
    mvwinnstr(curscr, TOP + HEIGHT, LEFT, below, WIDTH);
    EXPECT_EQ(std::string(below), std::string(WIDTH, ' '));
}

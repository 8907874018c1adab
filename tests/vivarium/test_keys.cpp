// The earlier program's own keys and the shared ones on its world: fewer
// popup fields, no tracker of kills, no world statistics, no viewer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/loop.h"
#include "common/popup.h"
#include "vivarium/driver.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"
#include "tests/support/headless.h"
#include "tests/support/vivarium_world.h"

using namespace vivarium;
using namespace vivarium_test;

namespace {

std::vector<std::string> popups;

void note_popup(const char *text, int seconds) { popups.push_back(std::string(text) + " " + std::to_string(seconds) + "s"); }

class Keys : public ::testing::Test {
protected:
    void SetUp() override
    {
        blank_world(249, 809);
        a = add_bug(3, 4, 'K', 2);
        b = add_bug(248, 808, 'L');
        c = add_bug(100, 100, 'M');
        a->gen = 3;
        a->age = 7;
        a->food = 1234;
        for (int i = 0; i < GENES; i++)
            a->dna[i] = i % 4;
        popups.clear();
        popup_observer = note_popup;
    }
    void TearDown() override
    {
        popup_observer = nullptr;
        free_world();
    }
    bug *a = nullptr, *b = nullptr, *c = nullptr;
};

}  // namespace

TEST_F(Keys, PopupsOfTheSelectedBug)
{
    struct row {
        int key;
        std::string popup;
    };
    const row rows[] = {
        {'c', "R=K G=3 A=7 F=1234 3s"},
        {'C', "R=K G=3 A=7 F=1234 3s"},
        {'v', "x=4  y=3 2s"},
        {'V', "x=4  y=3 2s"},
        {'d', "0123012301230123012301230 5s"},
        {'D', "0123012301230123012301230 5s"},
    };
    for (const row &r : rows) {
        popups.clear();
        do_key(r.key);
        EXPECT_EQ(popups, std::vector<std::string>{r.popup}) << "key " << static_cast<char>(r.key);
    }
}

TEST_F(Keys, KeysOfTheLaterProgramAreBad)
{
    const int keys[] = {'5', 'b', 'B', 'w', 'W', '6', 'a', ' ', '\n', 3, 200, -56};
    for (int k : keys) {
        popups.clear();
        bug *selected = sb;
        do_key(k);
        EXPECT_EQ(popups, std::vector<std::string>{"bad key 1s"}) << "key " << k;
        EXPECT_EQ(sb, selected) << "key " << k;
    }
}

TEST_F(Keys, Selection)
{
    hf = b;
    hg = c;
    old = b;
    struct row {
        int key;
        bug *selected;
        const char *label;
    };
    const row rows[] = {
        {'1', b, "xx "}, {'1', c, "xx "}, {'1', a, "xx "}, {'2', b, "hf "},
        {'3', c, "hg "}, {'4', b, "old"}, {'1', c, "xx "},
    };
    for (const row &r : rows) {
        do_key(r.key);
        EXPECT_EQ(sb, r.selected) << "key " << static_cast<char>(r.key);
        EXPECT_STREQ(common::track_label, r.label) << "key " << static_cast<char>(r.key);
    }
    EXPECT_TRUE(popups.empty());
}

TEST_F(Keys, TheViewStopsAtTheWorldsEdges)
{
    sb = b;
    do_key('g');
    EXPECT_EQ(common::view_row, 249 - 24 + 1);
    EXPECT_EQ(common::view_col, 809 - 80);
    do_key('j');
    do_key('l');
    EXPECT_EQ(common::view_row, 249 - 24 + 1);
    EXPECT_EQ(common::view_col, 809 - 80);
    sb = a;
    do_key('g');
    EXPECT_EQ(common::view_row, 0);
    EXPECT_EQ(common::view_col, 0);
}

TEST_F(Keys, QuitEndsWithStatusZero)
{
    try {
        do_key('x');
        FAIL() << "x did not stop";
    } catch (const stop_seen &s) {
        EXPECT_EQ(s.status, 0);
    }
}

TEST_F(Keys, StatisticsViewAndBack)
{
    do_key('z');
    repaint();
    char text[81] = {};
    mvwinnstr(stdscr, 0, 0, text, 11);
    EXPECT_STREQ(text, "Status ----");
    mvwinnstr(common::status_win, 0, 0, text, 30);
    EXPECT_STREQ(text, "x 1234 vdcegz hjkl fstpn  xx  ");
    do_key('Z');
    EXPECT_EQ(common::show_map, 1);
}

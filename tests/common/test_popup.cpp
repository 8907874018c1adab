// The popup window: where it stands, its border, its text, how long it
// stays, and formatted texts bounded by their buffer.
#include <gtest/gtest.h>

#include <curses.h>
#include <string>
#include <vector>

#include "common/loop.h"
#include "common/popup.h"
#include "tests/support/headless.h"

namespace {

struct shown {
    std::string text;
    int seconds;
};
std::vector<shown> popups;

void note(const char *text, int seconds) { popups.push_back({text, seconds}); }

// What the screen shows at a cell, without attributes.
chtype screen_at(int row, int col) { return mvwinch(curscr, row, col) & A_CHARTEXT; }

std::string screen_text(int row, int col, int length)
{
    std::string text;
    for (int i = 0; i < length; i++)
        text += static_cast<char>(screen_at(row, col + i));
    return text;
}

class Popup : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless_screen(24, 80);
        slept = &no_sleeping();
        slept_before = slept->seconds;
        popups.clear();
        popup_observer = note;
    }
    void TearDown() override { popup_observer = nullptr; }

    unsigned slept_seconds() const { return slept->seconds - slept_before; }

    sleep_log *slept = nullptr;
    unsigned slept_before = 0;
};

}  // namespace

TEST_F(Popup, BorderedTextAtRowFiveColumnTen)
{
    dopopup("hello", 3);

    EXPECT_EQ(slept_seconds(), 3u);
    EXPECT_EQ(screen_text(5, 11, 7), "-------");
    EXPECT_EQ(screen_text(6, 10, 9), "| hello |");
    EXPECT_EQ(screen_text(7, 11, 7), "-------");
    EXPECT_EQ(screen_at(5, 10), ACS_ULCORNER & A_CHARTEXT);
    EXPECT_EQ(screen_at(5, 18), ACS_URCORNER & A_CHARTEXT);
    EXPECT_EQ(screen_at(7, 10), ACS_LLCORNER & A_CHARTEXT);
    EXPECT_EQ(screen_at(7, 18), ACS_LRCORNER & A_CHARTEXT);
    EXPECT_EQ(screen_at(6, 19), static_cast<chtype>(' ')) << "the window is the text plus 4 wide";
    EXPECT_EQ(screen_at(4, 10), static_cast<chtype>(' '));
    EXPECT_EQ(screen_at(8, 10), static_cast<chtype>(' '));
}

TEST_F(Popup, EmptyTextIsABorderOnly)
{
    dopopup("", 1);

    EXPECT_EQ(screen_text(6, 10, 4), "|  |");
    EXPECT_EQ(screen_text(5, 11, 2), "--");
    EXPECT_EQ(screen_at(5, 13), ACS_URCORNER & A_CHARTEXT);
    EXPECT_EQ(screen_at(6, 14), static_cast<chtype>(' '));
    EXPECT_EQ(slept_seconds(), 1u);
}

TEST_F(Popup, NothingUnderItIsRedrawnWhenItGoes)
{
    dopopup("stays", 1);
    EXPECT_EQ(screen_text(6, 12, 5), "stays");
}

TEST_F(Popup, TextWiderThanTheScreenStillWaitsItsTime)
{
    std::string wide(100, 'w');
    dopopup(wide.c_str(), 2);
    EXPECT_EQ(slept_seconds(), 2u);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].text, wide);
}

TEST_F(Popup, ObserverSeesTextAndSeconds)
{
    dopopup("bad key", 1);
    dopopup("Pause", 1);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[0].text, "bad key");
    EXPECT_EQ(popups[0].seconds, 1);
    EXPECT_EQ(popups[1].text, "Pause");
}

TEST_F(Popup, FormattedTextIsCutToItsBuffer)
{
    std::string long_text(500, 'x');
    common::popup(1, "%s", long_text.c_str());
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_GE(popups[0].text.size(), 91u) << "room for the longest bug summary";
    EXPECT_LT(popups[0].text.size(), long_text.size());
    EXPECT_EQ(popups[0].text, long_text.substr(0, popups[0].text.size()));
}

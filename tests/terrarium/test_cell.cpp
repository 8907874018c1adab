// The map as a pad: cell read and write, attributes, edges and wrap-around.
#include <gtest/gtest.h>

#include "common/cell.h"
#include "terrarium/driver.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using namespace terrarium_test;

TEST(Cell, ReadsBackWhatWasWrittenEvenInTheCorners)
{
    blank_world(7, 11);
    const int cells[][2] = {{0, 0}, {0, 10}, {6, 0}, {6, 10}, {3, 5}};
    const char glyphs[] = {'~', '#', '@', 'Z', '.'};
    for (int i = 0; i < 5; i++)
        put(cells[i][0], cells[i][1], glyphs[i]);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(at(cells[i][0], cells[i][1]), glyphs[i]) << "cell " << i;
    EXPECT_EQ(at(6, 9), ' ') << "the bottom-right write spills nowhere";
    EXPECT_EQ(at(5, 10), ' ');
    free_world();
}

TEST(Cell, OffThePadReadFailsAndLeavesTheBuffer)
{
    blank_world(5, 5);
    const int cells[][2] = {{-1, 0}, {0, -1}, {5, 0}, {0, 5}};
    for (const auto &c : cells) {
        char glyph = 'q';
        EXPECT_EQ(cell_read(world_pad, c[0], c[1], &glyph), -1);
        EXPECT_EQ(glyph, 'q');
    }
    free_world();
}

TEST(Cell, HighlightedLetterReadsPlain)
{
    blank_world(10, 10);
    wattr_on(world_pad, A_STANDOUT, nullptr);
    put(4, 4, 'K');
    wattr_off(world_pad, A_STANDOUT, nullptr);
    EXPECT_EQ(at(4, 4), 'K');
    EXPECT_TRUE(mvwinch(world_pad, 4, 4) & A_STANDOUT) << "the letter is drawn in standout";
    put(4, 5, 'L');
    EXPECT_FALSE(mvwinch(world_pad, 4, 5) & A_STANDOUT) << "the attribute is off again";
    free_world();
}

TEST(Cell, WrapIsNeverNegative)
{
    EXPECT_EQ(wrap(-1, 5), 4);
    EXPECT_EQ(wrap(-5, 5), 0);
    EXPECT_EQ(wrap(-11, 5), 4);
    EXPECT_EQ(wrap(7, 5), 2);
    EXPECT_EQ(wrap(0, 1), 0);
}

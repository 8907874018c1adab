// The fast map access must be the plain curses access: reads the same as
// winnstr after wmove, writes the same as a "%c" print, and one growfood
// the same as its three sweeps of single-cell reads and writes.
#include <gtest/gtest.h>

#include <curses.h>
#include <random>
#include <string>
#include <vector>

#include "common/cell.h"
#include "common/food.h"
#include "tests/support/headless.h"

namespace {

class CellAccess : public ::testing::Test {
protected:
    void SetUp() override { headless_screen(24, 80); }
    void TearDown() override
    {
        for (WINDOW *pad : pads)
            delwin(pad);
    }
    WINDOW *pad(int rows, int cols)
    {
        WINDOW *p = newpad(rows, cols);
        pads.push_back(p);
        return p;
    }
    std::vector<WINDOW *> pads;
};

// The read as curses itself offers it.
int plain_read(WINDOW *pad, int row, int col, char *glyph)
{
    if (wmove(pad, row, col) == ERR)
        return -1;
    char text[2];
    winnstr(pad, text, 1);
    *glyph = text[0];
    return 0;
}

void plain_write(WINDOW *pad, int row, int col, char glyph) { mvwprintw(pad, row, col, "%c", glyph); }

// One growfood as three sweeps, columns outer and rows inner, through the
// plain curses access.
void plain_grow(WINDOW *pad, int rows, int cols)
{
    char g = 0;
    for (int x = 0; x < cols; x++)
        for (int y = 0; y < rows; y++) {
            plain_read(pad, y, x, &g);
            if (g == '*')
                plain_write(pad, y, x, '!');
            else if (g == '.')
                plain_write(pad, y, x, '*');
        }
    auto sow = [&](int y, int x) {
        char n = 0;
        plain_read(pad, y, x, &n);
        if (n == ' ')
            plain_write(pad, y, x, '.');
    };
    for (int x = 0; x < cols; x++)
        for (int y = 0; y < rows; y++) {
            plain_read(pad, y, x, &g);
            if (g != '@')
                continue;
            sow((y - 1 + rows) % rows, x);
            sow(y, (x + 1) % cols);
            sow((y + 1) % rows, x);
            sow(y, (x - 1 + cols) % cols);
        }
    for (int x = 0; x < cols; x++)
        for (int y = 0; y < rows; y++) {
            plain_read(pad, y, x, &g);
            if (g == '!')
                plain_write(pad, y, x, '@');
        }
}

// Every cell with its attributes, row by row.
std::vector<chtype> cells_of(WINDOW *pad)
{
    std::vector<chtype> cells;
    for (int y = 0; y < getmaxy(pad); y++)
        for (int x = 0; x < getmaxx(pad); x++)
            cells.push_back(mvwinch(pad, y, x));
    return cells;
}

std::string map_text(WINDOW *pad)
{
    std::string text;
    for (int y = 0; y < getmaxy(pad); y++) {
        for (int x = 0; x < getmaxx(pad); x++)
            text += static_cast<char>(mvwinch(pad, y, x) & A_CHARTEXT);
        text += '\n';
    }
    return text;
}

// Fills a pad with glyphs drawn from `alphabet`, some in standout.
void fill(WINDOW *pad, std::mt19937 &rng, const std::string &alphabet)
{
    for (int y = 0; y < getmaxy(pad); y++)
        for (int x = 0; x < getmaxx(pad); x++) {
            bool standout = rng() % 7 == 0;
            if (standout)
                wattr_on(pad, A_STANDOUT, nullptr);
            plain_write(pad, y, x, alphabet[rng() % alphabet.size()]);
            if (standout)
                wattr_off(pad, A_STANDOUT, nullptr);
        }
}

}  // namespace

TEST_F(CellAccess, ReadGivesWhatCursesGivesForEveryCell)
{
    std::mt19937 rng(1);
    WINDOW *p = pad(9, 13);
    fill(p, rng, " .*!@~#AZq0{");
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 13; x++) {
            char fast = 'X', plain = 'Y';
            ASSERT_EQ(cell_read(p, y, x, &fast), 0);
            ASSERT_EQ(plain_read(p, y, x, &plain), 0);
            EXPECT_EQ(fast, plain) << "cell " << y << "," << x;
        }
}

TEST_F(CellAccess, ReadOffThePadFailsAndLeavesTheBuffer)
{
    WINDOW *p = pad(4, 6);
    const int cells[][2] = {{-1, 0}, {0, -1}, {4, 0}, {0, 6}, {-100, -100}, {4, 6}};
    for (const auto &c : cells) {
        char glyph = 'q';
        EXPECT_EQ(cell_read(p, c[0], c[1], &glyph), -1);
        EXPECT_EQ(glyph, 'q');
    }
    char glyph = 'q';
    EXPECT_EQ(cell_read(nullptr, 0, 0, &glyph), -1);
    EXPECT_EQ(glyph, 'q');
}

TEST_F(CellAccess, RowReadGivesTheCellReads)
{
    std::mt19937 rng(2);
    WINDOW *p = pad(5, 17);
    fill(p, rng, " .*@#~ABC");
    for (int y = 0; y < 5; y++) {
        std::string row(17, 'X');
        ASSERT_EQ(cell_read_row(p, y, &row[0], 17), 0);
        for (int x = 0; x < 17; x++) {
            char glyph = 0;
            cell_read(p, y, x, &glyph);
            EXPECT_EQ(row[x], glyph) << "cell " << y << "," << x;
        }
        std::string part(5, 'X');
        ASSERT_EQ(cell_read_row(p, y, &part[0], 4), 0);
        EXPECT_EQ(part, row.substr(0, 4) + "X") << "only the cells asked for";
    }
}

TEST_F(CellAccess, RowReadOffThePadFailsAndLeavesTheBuffer)
{
    WINDOW *p = pad(3, 8);
    std::string row(10, 'q');
    EXPECT_EQ(cell_read_row(p, -1, &row[0], 8), -1);
    EXPECT_EQ(cell_read_row(p, 3, &row[0], 8), -1);
    EXPECT_EQ(cell_read_row(p, 0, &row[0], 9), -1) << "wider than the pad";
    EXPECT_EQ(row, std::string(10, 'q'));
}

TEST_F(CellAccess, WriteLeavesWhatAPrintLeavesForEveryByte)
{
    for (int attr : {0, 1}) {
        WINDOW *fast = pad(3, 16);
        WINDOW *plain = pad(3, 16);
        for (WINDOW *p : {fast, plain})
            if (attr)
                wattr_on(p, A_STANDOUT, nullptr);
        for (int code = 0; code < 256; code++) {
            char glyph = static_cast<char>(code);
            int y = 1 + code % 2, x = code % 16;
            cell_write(fast, y, x, glyph);
            plain_write(plain, y, x, glyph);
            ASSERT_EQ(cells_of(fast), cells_of(plain)) << "byte " << code;
            EXPECT_EQ(getcury(fast), getcury(plain)) << "byte " << code;
            EXPECT_EQ(getcurx(fast), getcurx(plain)) << "byte " << code;
        }
        // The bottom-right corner and a cell off the pad.
        cell_write(fast, 2, 15, 'Z');
        plain_write(plain, 2, 15, 'Z');
        cell_write(fast, 3, 0, 'Z');
        plain_write(plain, 3, 0, 'Z');
        EXPECT_EQ(cells_of(fast), cells_of(plain));
    }
}

TEST_F(CellAccess, GrowFoodMatchesTheThreeSweeps)
{
    const int sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {2, 5}, {5, 2}, {3, 3}, {13, 17}, {48, 160}};
    const std::string alphabets[] = {" .*@", " .*!@~#AZ", "      @@.*", " @"};
    std::mt19937 rng(3);
    for (const auto &size : sizes)
        for (const std::string &alphabet : alphabets)
            for (int round = 0; round < 3; round++) {
                int rows = size[0], cols = size[1];
                WINDOW *fast = pad(rows, cols);
                fill(fast, rng, alphabet);
                WINDOW *plain = dupwin(fast);
                pads.push_back(plain);
                // Several calls in a row, as the food keeps growing.
                for (int call = 0; call < 4; call++) {
                    grow_food(fast, rows, cols);
                    plain_grow(plain, rows, cols);
                    ASSERT_EQ(cells_of(fast), cells_of(plain))
                        << rows << " x " << cols << " '" << alphabet << "' call " << call << "\n"
                        << map_text(fast) << "----\n"
                        << map_text(plain);
                    EXPECT_EQ(map_text(fast).find('!'), std::string::npos);
                }
            }
}

// The fixed-step terrain generator.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "vivarium/globals.h"
#include "vivarium/init.h"
#include "vivarium/terrain.h"
#include "tests/support/headless.h"
#include "tests/support/vivarium_world.h"

using namespace vivarium;

namespace {

// The random source of the generator under test: a recorded sequence.
std::mt19937 source;
std::vector<int> drawn;

int draw()
{
    int r = static_cast<int>(source() >> 1);
    drawn.push_back(r);
    return r;
}

std::vector<int> field(int cols, int rows, unsigned seed)
{
    source.seed(seed);
    drawn.clear();
    return height_field(cols, rows, draw);
}

// The level of a refined cell: the spacing k of the sweep that sets it;
// 0 for a seed.
int level_of(int c, int r)
{
    if (c % SEED_SPACING == 0 && r % SEED_SPACING == 0)
        return 0;
    for (int k = SEED_SPACING / 2; k >= 1; k /= 2)
        if (c % k == 0 && r % k == 0)
            return k;
    return 0;
}

}  // namespace

TEST(Terrain, DisplacementRangePerLevel)
{
    struct row {
        int k, low, high;
    };
    for (const row &r : {row{4, -8, 8}, row{2, -4, 4}, row{1, -2, 2}}) {
        int low = 1000, high = -1000;
        for (int v = 0; v < 1000; v++) {
            low = std::min(low, displacement(v, r.k));
            high = std::max(high, displacement(v, r.k));
        }
        EXPECT_EQ(low, r.low) << "k = " << r.k;
        EXPECT_EQ(high, r.high) << "k = " << r.k;
    }
    EXPECT_EQ(displacement(2147483647, 4), 2147483647 % 17 - 8);
}

TEST(Terrain, Thresholds)
{
    struct row {
        int height;
        char glyph;
    };
    const row rows[] = {{-50, '~'}, {0, '~'}, {19, '~'}, {20, ' '}, {50, ' '},
                        {80, ' '},  {81, '#'}, {100, '#'}, {130, '#'}};
    for (const row &r : rows)
        EXPECT_EQ(terrain_glyph(r.height), r.glyph) << "height " << r.height;
}

TEST(Terrain, SeedsOnTheMultiplesOfEightIncludingTheLastLines)
{
    const int cols = 33, rows = 17;
    std::vector<int> h = field(cols, rows, 1);
    // Seeds come first, columns outer, rows inner, on every multiple of 8
    // up to and including the last column (32) and the last row (16).
    int i = 0;
    for (int c = 0; c < cols; c += 8)
        for (int r = 0; r < rows; r += 8) {
            EXPECT_EQ(h[c * rows + r], drawn[i] % 101) << "seed at column " << c << " row " << r;
            i++;
        }
    EXPECT_EQ(i, 5 * 3);
    EXPECT_EQ(drawn.size(), static_cast<size_t>(cols * rows)) << "one draw per cell";
}

TEST(Terrain, EveryRefinedCellIsTheAverageOfItsNeighboursPlusItsOffset)
{
    for (unsigned seed = 1; seed <= 20; seed++) {
        const int cols = 49, rows = 25;
        std::vector<int> h = field(cols, rows, seed);
        auto at = [&](int c, int r) { return h[c * rows + r]; };
        for (int c = 0; c < cols; c++)
            for (int r = 0; r < rows; r++) {
                int k = level_of(c, r);
                if (k == 0)
                    continue;
                bool across = c % (2 * k) != 0;
                bool down = r % (2 * k) != 0;
                int sum = 0, n = 0;
                if (across) {
                    sum += at(c - k, r) + at(c + k, r);
                    n += 2;
                }
                if (down) {
                    sum += at(c, r - k) + at(c, r + k);
                    n += 2;
                }
                int offset = at(c, r) - sum / n;
                std::string name = "seed " + std::to_string(seed) + " column " + std::to_string(c) +
                                   " row " + std::to_string(r);
                EXPECT_GE(offset, -2 * k) << name;
                EXPECT_LE(offset, 2 * k) << name;
            }
    }
}

TEST(Terrain, AveragesTruncateTowardZero)
{
    // Seeds 0 and 1 alternate; with draws giving the largest negative
    // offset the refined heights go below zero and must truncate upward.
    const int cols = 9, rows = 9;
    static int calls;
    calls = 0;
    std::vector<int> h = height_field(cols, rows, [] {
        int n = calls++;
        if (n < 4)
            return n % 2;  // seeds: 0, 1, 0, 1 at (0,0) (0,8) (8,0) (8,8)
        return 0;          // every offset -2k
    });
    // Midpoint of (0,0)=0 and (8,0)=0 at k=4: 0 - 8.
    EXPECT_EQ(h[4 * rows + 0], -8);
    // Midpoint of (0,0)=0 and (0,8)=1 at k=4: (0 + 1) / 2 = 0, - 8.
    EXPECT_EQ(h[0 * rows + 4], -8);
    // (2,0) between (0,0)=0 and (4,0)=-8 at k=2: -4 - 4 = -8.
    EXPECT_EQ(h[2 * rows + 0], -8);
    // (1,0) between (0,0)=0 and (2,0)=-8 at k=1: -4 - 2; (3,0) between -8 and -8: -8 - 2.
    EXPECT_EQ(h[1 * rows + 0], -6);
    EXPECT_EQ(h[3 * rows + 0], -10);
    // The centre (4,4) averages -8, -7, -8 and -8: -31 / 4 is -7, not -8.
    EXPECT_EQ(h[4 * rows + 4], -7 - 8);
}

TEST(Terrain, ThePadShowsTheField)
{
    vivarium_test::blank_world(25, 33);
    std::srand(21);
    generateterrain();
    int water = 0, mountains = 0, other = 0;
    for (int r = 0; r < 25; r++)
        for (int c = 0; c < 33; c++) {
            char g = vivarium_test::at(r, c);
            water += g == '~';
            mountains += g == '#';
            other += g != '~' && g != '#' && g != ' ';
        }
    EXPECT_EQ(other, 0);
    EXPECT_GT(water + mountains, 0);
    EXPECT_LT(water + mountains, 25 * 33);
    free_world();
}

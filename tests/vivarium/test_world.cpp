// World size, start-up and seeding of vivarium.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/ring_walk.h"
#include "vivarium/driver.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"
#include "tests/support/headless.h"
#include "tests/support/vivarium_world.h"

using namespace vivarium;
using namespace vivarium_test;

TEST(WorldSize, FollowsTheScreen)
{
    struct row {
        int lines, cols;
        int rows, map_cols;
    };
    const row rows[] = {
        {24, 80, 249, 809},
        {25, 81, 257, 817},
        {1, 1, 17, 17},
        {1, 80, 17, 809},
        {24, 1, 249, 17},
        {8, 4, 89, 49},
    };
    for (const row &r : rows) {
        std::string name = std::to_string(r.lines) + " x " + std::to_string(r.cols);
        free_world();
        headless_screen(r.lines, r.cols);
        set_world_size();
        EXPECT_EQ(map_rows, r.rows) << name;
        EXPECT_EQ(map_cols, r.map_cols) << name;
        EXPECT_EQ(map_rows % 8, 1) << name;
        EXPECT_EQ(map_cols % 8, 1) << name;
    }
}

TEST(WorldSize, TenTimesRoundedDownToEightPlusNine)
{
    for (int screen = 1; screen <= 300; screen++) {
        int extent = world_extent(screen);
        EXPECT_EQ((extent - 9) % 8, 0) << screen;
        EXPECT_LE(extent - 9, 10 * screen) << screen;
        EXPECT_GT(extent - 9 + 8, 10 * screen) << screen;
    }
}

TEST(Start, SeedsTheFirstPopulation)
{
    seeded_world(11, 24, 80);
    ASSERT_EQ(map_rows, 249);
    ASSERT_EQ(map_cols, 809);
    EXPECT_EQ(population, 809 * 249 / 100);
    EXPECT_EQ(ring_size(), 2014);
    std::set<char> races;
    int index = 0;
    bool all_pointers_on_first = true;
    for (bug *p : {first, sb, hf, hg, old})
        all_pointers_on_first &= p == bugs;
    EXPECT_TRUE(all_pointers_on_first);
    for_each_bug(bugs, [&](const bug *b) {
        std::string name = "bug " + std::to_string(index++);
        races.insert(b->race);
        EXPECT_GE(b->race, 'A') << name;
        EXPECT_LE(b->race, 'T') << name;
        EXPECT_GE(b->size, 2) << name;
        EXPECT_LE(b->size, 100) << name;
        EXPECT_EQ(b->food, 100 * b->size) << name;
        EXPECT_EQ(b->gen, 1) << name;
        EXPECT_EQ(b->age, 0) << name;
        EXPECT_EQ(b->food_glyph, '@') << name;
        EXPECT_GE(b->vector, 0) << name;
        EXPECT_LE(b->vector, 3) << name;
        for (int gene : b->dna) {
            EXPECT_GE(gene, 0) << name;
            EXPECT_LE(gene, 3) << name;
        }
    });
    EXPECT_EQ(races.size(), 20u) << "2014 bugs take every race from A to T";
    free_world();
}

TEST(Start, BugsAreNotDrawnAndMayStandAnywhere)
{
    seeded_world(12, 24, 80);
    int letters = 0;
    for (int r = 0; r < map_rows; r++)
        for (int c = 0; c < map_cols; c++) {
            char g = at(r, c);
            letters += g >= 'A' && g <= 'Z';
        }
    EXPECT_EQ(letters, 0) << "seeded bugs are drawn only after their first turn";
    int on_terrain_or_food = 0;
    for_each_bug(bugs, [&](const bug *b) { on_terrain_or_food += at(b->y, b->x) != ' '; });
    EXPECT_GT(on_terrain_or_food, 0) << "the seeding cell is not examined";
    free_world();
}

TEST(Start, APadThatCannotBeHadIsRefused)
{
    free_world();
    // Wide enough that the pad would exceed what curses can hold.
    headless_screen(24, 3300);
    set_world_size();
    try {
        build_world(1);
        FAIL() << "the world was built";
    } catch (const stop_seen &s) {
        EXPECT_EQ(s.status, 9);
        EXPECT_EQ(s.message, "world too large\n");
    }
    EXPECT_EQ(world_pad, nullptr);
    free_world();
}

TEST(Start, StatusLineShowsTheHelpText)
{
    seeded_world(14, 24, 80);
    repaint();
    char line[81] = {};
    mvwinnstr(common::status_win, 0, 0, line, 80);
    EXPECT_EQ(std::string(line).substr(0, 32), "x 1234 vdcegz hjkl fstpn  xx    ");
    free_world();
}

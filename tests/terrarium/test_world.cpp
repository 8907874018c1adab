// Start-up: world size from the screen, refusals, seeding and the ring.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "terrarium/driver.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "tests/support/headless.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using namespace terrarium_test;

TEST(World, SizeFollowsScreenAndWorldSize)
{
    struct row {
        const char *size;
        int lines, cols;
        int world_rows, world_cols;
    };
    const row rows[] = {
        {"2", 24, 80, 48, 160},
        {"0.7", 24, 80, 16, 55},  // 0.7f is 0.699999988: 55.99 truncates to 55
        {"0.25", 24, 80, 6, 20},
        {"1", 25, 81, 25, 81},
        {"30", 60, 200, 1800, 6000},
        {"1.1", 24, 80, 26, 88},
    };
    for (const row &r : rows) {
        options({"-s", r.size});
        headless_screen(r.lines, r.cols);
        set_world_size();
        EXPECT_EQ(world_row, r.world_rows) << "-s " << r.size;
        EXPECT_EQ(world_col, r.world_cols) << "-s " << r.size;
    }
    options({});
}

TEST(World, FewerThanHundredCellsIsRefused)
{
    options({"-s", "0.25"});
    headless_screen(10, 20);  // 2 x 5 cells
    try {
        set_world_size();
        FAIL() << "a world of 10 cells was accepted";
    } catch (const stop_seen &s) {
        EXPECT_EQ(s.status, 8);
        EXPECT_EQ(s.message, "world too small\n");
    }
    headless_screen(40, 40);  // 10 x 10: the smallest world that runs
    EXPECT_NO_THROW(set_world_size());
    options({});
}

TEST(World, APadThatCannotBeHadIsRefused)
{
    options({"-s", "30"});
    headless_screen(2000, 2000);  // 60000 x 60000: beyond what a pad can hold
    set_world_size();
    try {
        build_world(1);
        FAIL() << "a pad of 60000 x 60000 was made";
    } catch (const stop_seen &s) {
        EXPECT_EQ(s.status, 9);
        EXPECT_EQ(s.message, "world too large\n");
    }
    free_world();
    options({});
}

TEST(World, SeedingGivesFreshBugsOnBlankCellsInARing)
{
    options({});
    seeded_world(12345);
    ASSERT_EQ(world_row * world_col, 7680);
    EXPECT_EQ(ring_size(), 76);
    std::set<std::pair<int, int>> cells;
    const bug *b = bugs;
    do {
        EXPECT_EQ(at(b->y, b->x), ' ') << "seeded bugs are not drawn and stand on open ground";
        EXPECT_EQ(b->gen, 1);
        EXPECT_EQ(b->age, 0);
        EXPECT_EQ(b->food, 100 * b->size);
        EXPECT_GE(b->size, 2);
        EXPECT_LE(b->size, 100);
        EXPECT_GE(b->vision, 1);
        EXPECT_LE(b->vision, 10);
        EXPECT_GE(b->race, 'A');
        EXPECT_LE(b->race, 'Z');
        EXPECT_GE(b->vector, 0);
        EXPECT_LE(b->vector, 3);
        for (int code = 0; code < GLYPHS; code++) {
            int want = code == '@' ? 15 : (code >= 'A' && code <= 'Z' ? 5 : 0);
            ASSERT_EQ(b->motive[code], want) << "code " << code;
        }
        for (int gene : b->dna) {
            EXPECT_GE(gene, 0);
            EXPECT_LE(gene, 3);
        }
        b = b->next;
    } while (b != bugs);
    EXPECT_EQ(first, bugs);
    EXPECT_EQ(sb, bugs);
    EXPECT_EQ(hk, bugs);
    EXPECT_STREQ(track_label, "xx ");
    EXPECT_EQ(phase, 0);
    free_world();
}

TEST(World, PrevWalksTheRingBackwards)
{
    options({});
    seeded_world(7);
    std::vector<const bug *> forward, backward;
    const bug *b = bugs;
    do {
        forward.push_back(b);
        b = b->next;
    } while (b != bugs);
    b = bugs;
    do {
        backward.push_back(b);
        b = b->prev;
    } while (b != bugs);
    ASSERT_EQ(forward.size(), backward.size());
    for (size_t i = 1; i < forward.size(); i++)
        EXPECT_EQ(forward[i], backward[forward.size() - i]);
    free_world();
}

TEST(World, SameSeedSameWorld)
{
    options({});
    auto snapshot = [](unsigned seed) {
        seeded_world(seed);
        run_passes(60);
        std::string text;
        for (int row = 0; row < world_row; row++)
            text += row_text(row);
        for (const bug *b = bugs->next;; b = b->next) {
            text += std::to_string(b->x) + "," + std::to_string(b->y) + "," + std::to_string(b->food) + ";";
            if (b == bugs)
                break;
        }
        free_world();
        return text;
    };
    std::string once = snapshot(99);
    EXPECT_EQ(once, snapshot(99));
    EXPECT_NE(once, snapshot(100));
}

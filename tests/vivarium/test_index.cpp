// The index of bugs by cell answers as the ring walk does, also where
// seeding put several bugs on one cell.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/findbug.h"
#include "tests/support/headless.h"
#include "tests/support/vivarium_world.h"
#include "vivarium/findbug.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"

using namespace vivarium;
using namespace vivarium_test;

namespace {

std::mt19937 random_cursor(1);
int shared_cells = 0;

void check_index()
{
    std::vector<bug *> ring;
    bug *b = bugs;
    do {
        ring.push_back(b);
        b = b->next;
    } while (b != bugs);
    for (bug *on_cell : ring)
        for (bug *cursor : {bugs, on_cell, ring[random_cursor() % ring.size()]}) {
            bug *walked = walk_to_bug(cursor, on_cell->y, on_cell->x);
            ASSERT_EQ(bugs_by_cell.first_from(cursor, on_cell->y, on_cell->x), walked);
            shared_cells += walked != on_cell;
        }
}

}  // namespace

TEST(Index, AgreesWithTheRingWalkThroughLongRuns)
{
    for (unsigned seed : {1u, 2u}) {
        seeded_world(seed, 6, 20);  // a 65 x 209 map of 135 bugs
        try {
            run_passes(600, check_index);
        } catch (const stop_seen &) {
            // the world ended itself
        }
        free_world();
    }
    EXPECT_GT(shared_cells, 0) << "seeding and births put several bugs on one cell";
}

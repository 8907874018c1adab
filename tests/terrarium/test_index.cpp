// The index of bugs by cell answers exactly as the walk of the ring does,
// through long runs of seeding, steps, births and deaths.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/findbug.h"
#include "terrarium/driver.h"
#include "terrarium/findbug.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "tests/support/headless.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using namespace terrarium_test;

namespace {

// Compares index and walk for every bug's cell, from several cursors, and
// for some cells picked at random. Returns the number of shared cells seen.
int check_index(std::mt19937 &random, const std::string &name)
{
    std::vector<bug *> ring;
    bug *b = bugs;
    do {
        ring.push_back(b);
        b = b->next;
    } while (b != bugs);
    int shared = 0;
    for (bug *on_cell : ring) {
        for (bug *cursor : {bugs, on_cell, ring[random() % ring.size()]}) {
            bug *walked = walk_to_bug(cursor, on_cell->y, on_cell->x);
            EXPECT_EQ(bugs_by_cell.first_from(cursor, on_cell->y, on_cell->x), walked) << name;
            shared += walked != on_cell;
        }
    }
    for (int i = 0; i < 20; i++) {
        int row = static_cast<int>(random() % world_row), col = static_cast<int>(random() % world_col);
        EXPECT_EQ(bugs_by_cell.first_from(bugs, row, col), walk_to_bug(bugs, row, col)) << name;
    }
    return shared;
}

}  // namespace

TEST(Index, AgreesWithTheRingWalkThroughLongRuns)
{
    struct row {
        const char *size;
        int lines, cols;
        long passes;
    };
    const row rows[] = {{"2", 24, 80, 1500}, {"0.5", 24, 80, 3000}, {"1", 20, 30, 3000}, {"3", 24, 80, 300}};
    int shared = 0;
    for (const row &r : rows)
        for (unsigned seed : {1u, 2u, 3u}) {
            std::string name = std::string("-s ") + r.size + " seed " + std::to_string(seed);
            options({"-s", r.size});
            std::mt19937 random(seed);
            seeded_world(seed, r.lines, r.cols);
            try {
                for (long pass = 0; pass < r.passes; pass++) {
                    run_passes(1);
                    shared += check_index(random, name + " pass " + std::to_string(pass));
                    if (::testing::Test::HasFailure())
                        break;
                }
            } catch (const stop_seen &) {
                // the world ended itself: a single bug was left
            }
            free_world();
        }
    EXPECT_GT(shared, 0) << "the runs put several bugs on one cell at times";
    options({});
}

TEST(Index, RelabelsWhenBirthsCrowdOnePlace)
{
    blank_world(60, 60);
    bug *parent = add_bug(30, 30, 'M');
    add_bug(5, 5, 'Q');
    // Every birth goes right after the parent: the labels between parent
    // and successor halve each time until they must be spread again.
    for (int i = 0; i < 200; i++) {
        bug *child = add_bug(30, 30, 'M');
        // move the new bug from the end of the ring to right after the parent
        child->prev->next = child->next;
        child->next->prev = child->prev;
        bugs_by_cell.remove(child);
        child->next = parent->next;
        child->prev = parent;
        parent->next->prev = child;
        parent->next = child;
        bugs_by_cell.add_linked(child);
        EXPECT_EQ(bugs_by_cell.first_from(parent, 30, 30), parent);
        EXPECT_EQ(bugs_by_cell.first_from(parent->next, 30, 30), child);
        bug *after_last = parent->prev;  // the bug 'Q', before the parent
        EXPECT_EQ(bugs_by_cell.first_from(after_last, 30, 30), parent);
    }
    free_world();
}

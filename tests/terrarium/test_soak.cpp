// Long runs: 20,000 passes of several seeded worlds, from one that soon
// ends with a single bug to a wide one, checking after every pass that the
// ring is one consistent circle holding every bug pointer, that every bug
// stands on the map, that every bug letter on the map has a bug standing
// on it, and that no ripening mark '!' is left behind.
#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "common/cell.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "tests/support/headless.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using namespace terrarium_test;

namespace {

constexpr long PASSES = 20000;

struct world_kind {
    const char *name;
    int lines, cols;
    float size;
    bool ends;  // the population soon falls to one bug
};

const world_kind KINDS[] = {
    {"tiny", 10, 20, 1.0f, true},      // 20 x 10 cells, 2 bugs
    {"default", 24, 80, 2.0f, false},  // 160 x 48 cells, 76 bugs
    {"wide", 60, 200, 1.0f, false},    // 200 x 60 cells, 120 bugs
};
const unsigned SEEDS[] = {1, 2, 3, 4, 5};

struct soak_case {
    world_kind kind;
    unsigned seed;
};

// The ring from `bugs`: an empty string when it is one consistent circle
// of bugs on the map, holding every bug pointer; otherwise what is wrong.
// `cells` gets, for every cell, whether a bug stands on it.
std::string ring_fault(std::vector<bool> &cells)
{
    cells.assign(static_cast<size_t>(world_row) * world_col, false);
    // A circle holds no more bugs than there are cells, plus the newborns
    // that share a cell with a parent.
    const long limit = 2L * world_row * world_col + 2;
    std::unordered_set<const bug *> ring;
    const bug *b = bugs;
    do {
        if (b == nullptr)
            return "a null link";
        if (b->next->prev != b || b->prev->next != b)
            return "a next/prev mismatch";
        if (b->x < 0 || b->x >= world_col || b->y < 0 || b->y >= world_row)
            return "a bug off the map at " + std::to_string(b->y) + "," + std::to_string(b->x);
        if (!ring.insert(b).second || static_cast<long>(ring.size()) > limit)
            return "the walk does not come back to its start";
        cells[static_cast<size_t>(b->y) * world_col + b->x] = true;
        b = b->next;
    } while (b != bugs);
    for (const bug *p : {first, sb, hf, hg, old, hk})
        if (ring.count(p) == 0)
            return "a bug pointer off the ring";
    return "";
}

// The map: an empty string when no '!' is left and every bug letter has a
// bug on its cell; otherwise what is wrong.
std::string map_fault(const std::vector<bool> &cells)
{
    std::string line(static_cast<size_t>(world_col), ' ');
    for (int row = 0; row < world_row; row++) {
        if (cell_read_row(world_pad, row, &line[0], world_col) != 0)
            return "a row that cannot be read";
        for (int col = 0; col < world_col; col++) {
            char glyph = line[col];
            auto where = [&] { return std::to_string(row) + "," + std::to_string(col); };
            if (glyph == '!')
                return "a '!' left at " + where();
            if (glyph >= 'A' && glyph <= 'Z' && !cells[static_cast<size_t>(row) * world_col + col])
                return std::string("a letter ") + glyph + " with no bug at " + where();
        }
    }
    return "";
}

class Soak : public ::testing::TestWithParam<soak_case> {
protected:
    void TearDown() override { free_world(); }
};

}  // namespace

TEST_P(Soak, EveryPassLeavesAConsistentWorld)
{
    const soak_case &c = GetParam();
    world_size = c.kind.size;
    roughness = 150;
    grid_size = 4;
    seeded_world(c.seed, c.kind.lines, c.kind.cols);
    std::vector<bool> cells;
    long pass = 0;
    bool stopped = false;
    try {
        for (pass = 1; pass <= PASSES; pass++) {
            run_passes(1);
            std::string fault = ring_fault(cells);
            if (fault.empty())
                fault = map_fault(cells);
            ASSERT_EQ(fault, "") << "after pass " << pass;
        }
    } catch (const stop_seen &stop) {
        // The one orderly end without keys: a death that leaves one bug.
        stopped = true;
        EXPECT_EQ(stop.status, 0) << "pass " << pass << ": " << stop.message;
        EXPECT_EQ(bugs->next, bugs) << "pass " << pass;
        EXPECT_EQ(bugs->prev, bugs) << "pass " << pass;
        EXPECT_EQ(ring_fault(cells), "") << "pass " << pass;
        EXPECT_EQ(map_fault(cells), "") << "pass " << pass;
        RecordProperty("stopped_at_pass", std::to_string(pass));
    }
    if (c.kind.ends) {
        EXPECT_TRUE(stopped) << "a world of two bugs lasts " << PASSES << " passes";
    }
}

namespace {

std::vector<soak_case> all_cases()
{
    std::vector<soak_case> cases;
    for (const world_kind &kind : KINDS)
        for (unsigned seed : SEEDS)
            cases.push_back({kind, seed});
    return cases;
}

std::string case_name(const ::testing::TestParamInfo<soak_case> &info)
{
    return std::string(info.param.kind.name) + "_seed" + std::to_string(info.param.seed);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Worlds, Soak, ::testing::ValuesIn(all_cases()), case_name);

// W4: the lookup of a bug by its cell, with 1,000, 10,000 and 100,000
// bugs alive (worlds of 100 cells per bug, as start-up seeds them).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <utility>
#include <string>
#include <vector>

#include "bench/headless.h"
#include "common/ring.h"
#include "terrarium/world.h"

namespace {

using namespace terrarium;

// Screens that give exactly 100 x the population in cells with -s 10.
struct world_for {
    long bugs;
    int lines, cols;
};
constexpr world_for WORLDS[] = {{1000, 20, 50}, {10000, 100, 100}, {100000, 200, 500}};

void W4_FindBug(benchmark::State &state, world_for w)
{
    world &built = terrarium_world(1, w.lines, w.cols, 10.0f);
    // The cells of the bugs, picked at random beforehand, so that the loop
    // times the lookup alone.
    std::vector<std::pair<int, int>> cells;
    common::for_each_bug(built.refs.cursor, [&](const bug *b) { cells.emplace_back(b->y, b->x); });
    size_t bugs_alive = cells.size();
    std::mt19937 rng(777);
    std::shuffle(cells.begin(), cells.end(), rng);
    size_t i = 0;
    for (auto _ : state) {
        const std::pair<int, int> &cell = cells[i++ % bugs_alive];
        benchmark::DoNotOptimize(built.findbug(cell.first, cell.second));
    }
    state.counters["bugs"] = static_cast<double>(bugs_alive);
}

}  // namespace

void register_findbug_benchmarks()
{
    for (const world_for &w : WORLDS) {
        std::string name = "W4_FindBug/" + std::to_string(w.bugs);
        benchmark::RegisterBenchmark(name.c_str(), W4_FindBug, w);
    }
}

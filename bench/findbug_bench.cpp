// W4: the lookup of a bug by its cell, with 1,000, 10,000 and 100,000
// bugs alive (worlds of 100 cells per bug, as start-up seeds them), and
// passes of a world crowded past one bug per cell (W6).
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

// W6: a 40 x 12 map (-s 1) whose bugs start with food enough never to
// starve, run until they have bred past one bug per cell, then one pass
// timed: where blank cells are few, each birth's search for one is long.
constexpr int W6_LINES = 12, W6_COLS = 40;

void W6_CrowdedWorld(benchmark::State &state)
{
    long bugs = 0, turns = 0;
    for (auto _ : state) {
        world &w = terrarium_world(1, W6_LINES, W6_COLS, 1.0f);
        common::for_each_bug(w.refs.cursor, [](bug *b) { b->food = 1000000000; });
        while (w.index.size() <= static_cast<size_t>(W6_LINES * W6_COLS))
            run_passes(1);
        bugs = static_cast<long>(w.index.size());
        auto start = bench_clock::now();
        turns = run_passes(1);
        state.SetIterationTime(seconds_since(start));
    }
    state.counters["bugs_at_start"] = static_cast<double>(bugs);
    state.counters["bugs_per_cell"] = static_cast<double>(bugs) / (W6_LINES * W6_COLS);
    state.counters["turns"] = static_cast<double>(turns);
}

}  // namespace

void register_findbug_benchmarks()
{
    for (const world_for &w : WORLDS) {
        std::string name = "W4_FindBug/" + std::to_string(w.bugs);
        benchmark::RegisterBenchmark(name.c_str(), W4_FindBug, w);
    }
    benchmark::RegisterBenchmark("W6_CrowdedWorld/pass", W6_CrowdedWorld)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

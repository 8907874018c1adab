// W4: the lookup of a bug by its cell, with 1,000, 10,000 and 100,000
// bugs alive (worlds of 100 cells per bug, as start-up seeds them); W5:
// passes of a world crowded past one bug per cell.
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

// W5: an 80 x 24 map (-s 1) whose bugs start with food enough never to
// starve, run until they have bred past one bug per cell; time per pass
// from then on, each iteration a new crowd of the same size.
constexpr int W5_BUGS = 3000;
constexpr int W5_PASSES = 5;

void W5_CrowdedWorld(benchmark::State &state)
{
    long bugs = 0;
    for (auto _ : state) {
        world &w = terrarium_world(1, 24, 80, 1.0f);
        common::for_each_bug(w.refs.cursor, [](bug *b) { b->food = 1000000000; });
        while (w.index.size() < W5_BUGS)
            run_passes(1);
        bugs = static_cast<long>(w.index.size());
        auto start = bench_clock::now();
        run_passes(W5_PASSES);
        state.SetIterationTime(seconds_since(start) / W5_PASSES);
    }
    state.counters["bugs_at_start"] = static_cast<double>(bugs);
    state.counters["bugs_per_cell"] = static_cast<double>(bugs) / (24 * 80);
}

}  // namespace

void register_findbug_benchmarks()
{
    for (const world_for &w : WORLDS) {
        std::string name = "W4_FindBug/" + std::to_string(w.bugs);
        benchmark::RegisterBenchmark(name.c_str(), W4_FindBug, w);
    }
    benchmark::RegisterBenchmark("W5_CrowdedWorld/pass", W5_CrowdedWorld)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
}

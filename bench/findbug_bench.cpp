// W4: the lookup of a bug by its cell, with 1,000, 10,000 and 100,000
// bugs alive (worlds of 100 cells per bug, as start-up seeds them).
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "bench/headless.h"
#include "terrarium/findbug.h"
#include "terrarium/globals.h"

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
    terrarium_world(1, w.lines, w.cols, 10.0f);
    std::vector<const bug *> all;
    const bug *b = bugs;
    do {
        all.push_back(b);
        b = b->next;
    } while (b != bugs);
    std::mt19937 rng(777);
    std::uniform_int_distribution<size_t> pick(0, all.size() - 1);
    for (auto _ : state) {
        const bug *target = all[pick(rng)];
        benchmark::DoNotOptimize(findbug(target->y, target->x));
    }
    state.counters["bugs"] = static_cast<double>(all.size());
}

}  // namespace

void register_findbug_benchmarks()
{
    for (const world_for &w : WORLDS) {
        std::string name = "W4_FindBug/" + std::to_string(w.bugs);
        benchmark::RegisterBenchmark(name.c_str(), W4_FindBug, w);
    }
}

// W3: the map-wide work on the big world's map (6000 x 1800 cells): one
// growfood and one terrain generation, per cell.
#include <benchmark/benchmark.h>

#include "bench/headless.h"
#include "common/world.h"
#include "terrarium/food.h"
#include "terrarium/globals.h"
#include "terrarium/terrain.h"

namespace {

using namespace terrarium;

constexpr unsigned SEED = 1;

double cells() { return static_cast<double>(world_row) * world_col; }

// The big world after start-up, its food moved on by two growfood calls
// so that every stage is on the map; each iteration grows the same map.
void W3_GrowFood(benchmark::State &state)
{
    terrarium_world(SEED, 60, 200, 30.0f);
    growfood();
    growfood();
    WINDOW *saved = dupwin(world_pad);
    double seconds = 0;
    for (auto _ : state) {
        copywin(saved, world_pad, 0, 0, 0, 0, world_row - 1, world_col - 1, FALSE);
        auto start = bench_clock::now();
        growfood();
        double elapsed = seconds_since(start);
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    state.counters["ns_per_cell"] = seconds * 1e9 / (cells() * state.iterations());
    delwin(saved);
}

// Terrain on a fresh blank pad of the big world's size, same seed each time.
void W3_Terrain(benchmark::State &state)
{
    terrarium_world(SEED, 60, 200, 30.0f);
    double seconds = 0;
    for (auto _ : state) {
        delwin(world_pad);
        world_pad = open_world(SEED, world_row, world_col);
        auto start = bench_clock::now();
        generateterrain();
        double elapsed = seconds_since(start);
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    state.counters["ns_per_cell"] = seconds * 1e9 / (cells() * state.iterations());
    state.counters["water"] = wtr_c;
    state.counters["mountain"] = mnt_c;
}

}  // namespace

void register_map_benchmarks()
{
    benchmark::RegisterBenchmark("W3_GrowFood/6000x1800", W3_GrowFood)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("W3_Terrain/6000x1800", W3_Terrain)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
}

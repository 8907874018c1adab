// W3: the map-wide work on the big world's map (6000 x 1800 cells): one
// growfood and one terrain generation, per cell.
#include <benchmark/benchmark.h>

#include "bench/headless.h"
#include <vector>

#include "common/food.h"
#include "common/map.h"
#include "terrarium/globals.h"
#include "terrarium/terrain.h"

namespace {

using namespace terrarium;

constexpr unsigned SEED = 1;

double cells() { return static_cast<double>(world_row) * world_col; }

std::vector<char> map_copy()
{
    std::vector<char> glyphs;
    for (int row = 0; row < world_row; row++)
        glyphs.insert(glyphs.end(), common::map_row(row), common::map_row(row) + world_col);
    return glyphs;
}

// Puts the map back as it was, through the one cell write.
void restore(const std::vector<char> &glyphs)
{
    for (int row = 0; row < world_row; row++)
        for (int col = 0; col < world_col; col++) {
            char glyph = glyphs[static_cast<size_t>(row) * world_col + col];
            if (cell_read(row, col) != glyph)
                cell_write(row, col, glyph);
        }
}

// The big world after start-up, its food moved on by two growfood calls
// so that every stage is on the map; each iteration grows the same map.
void W3_GrowFood(benchmark::State &state)
{
    terrarium_world(SEED, 60, 200, 30.0f);
    growfood();
    growfood();
    std::vector<char> saved = map_copy();
    double seconds = 0;
    for (auto _ : state) {
        restore(saved);
        auto start = bench_clock::now();
        growfood();
        double elapsed = seconds_since(start);
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    state.counters["ns_per_cell"] = seconds * 1e9 / (cells() * state.iterations());
}

// Terrain on a fresh blank pad of the big world's size, same seed each time.
void W3_Terrain(benchmark::State &state)
{
    terrarium_world(SEED, 60, 200, 30.0f);
    double seconds = 0;
    for (auto _ : state) {
        common::close_world();
        common::open_world(SEED);
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

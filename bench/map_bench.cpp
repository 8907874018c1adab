// W3: the map-wide work on the big world's map (6000 x 1800 cells): one
// growfood and one terrain generation, per cell.
#include <benchmark/benchmark.h>

#include "bench/headless.h"
#include <vector>

#include "common/food.h"
#include "terrarium/world.h"
#include "terrarium/terrain.h"

namespace {

using namespace terrarium;

constexpr unsigned SEED = 1;

double cells(const world &w) { return static_cast<double>(w.map.rows()) * w.map.cols(); }

std::vector<char> map_copy(const world &w)
{
    std::vector<char> glyphs;
    for (int row = 0; row < w.map.rows(); row++)
        glyphs.insert(glyphs.end(), w.map.row(row), w.map.row(row) + w.map.cols());
    return glyphs;
}

// Puts the map back as it was, through the one cell write.
void restore(world &w, const std::vector<char> &glyphs)
{
    for (int row = 0; row < w.map.rows(); row++)
        for (int col = 0; col < w.map.cols(); col++) {
            char glyph = glyphs[static_cast<size_t>(row) * w.map.cols() + col];
            if (w.map.read(row, col) != glyph)
                w.map.write(row, col, glyph);
        }
}

// The big world after start-up, its food moved on by two growfood calls
// so that every stage is on the map; each iteration grows the same map.
void W3_GrowFood(benchmark::State &state)
{
    world &w = terrarium_world(SEED, 60, 200, 30.0f);
    growfood(w);
    growfood(w);
    std::vector<char> saved = map_copy(w);
    double seconds = 0;
    for (auto _ : state) {
        restore(w, saved);
        auto start = bench_clock::now();
        growfood(w);
        double elapsed = seconds_since(start);
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    state.counters["ns_per_cell"] = seconds * 1e9 / (cells(w) * state.iterations());
}

// Terrain on a fresh blank pad of the big world's size, same seed each time.
void W3_Terrain(benchmark::State &state)
{
    world &built = terrarium_world(SEED, 60, 200, 30.0f);
    double seconds = 0;
    world w;
    w.map.plan(built.map.rows(), built.map.cols());
    for (auto _ : state) {
        w.open(SEED);
        auto start = bench_clock::now();
        generateterrain(w);
        double elapsed = seconds_since(start);
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    state.counters["ns_per_cell"] = seconds * 1e9 / (cells(w) * state.iterations());
    state.counters["water"] = w.water_cells;
    state.counters["mountain"] = w.mountain_cells;
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

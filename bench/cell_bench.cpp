// The map's cell read and write on the default world: what every turn
// is made of.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/headless.h"
#include "common/map.h"

namespace {

constexpr int CELLS = 4096;

struct cell {
    int row, col;
};

std::vector<cell> random_cells(const common::world_map &map)
{
    std::mt19937 rng(12345);
    std::vector<cell> cells(CELLS);
    for (cell &c : cells)
        c = {static_cast<int>(rng() % map.rows()), static_cast<int>(rng() % map.cols())};
    return cells;
}

void Cell_Read(benchmark::State &state)
{
    common::world_map &map = terrarium_world(1, 24, 80, 2.0f).map;
    std::vector<cell> cells = random_cells(map);
    size_t i = 0;
    for (auto _ : state) {
        const cell &c = cells[i++ % CELLS];
        benchmark::DoNotOptimize(map.read(c.row, c.col));
    }
}

void Cell_Write(benchmark::State &state)
{
    common::world_map &map = terrarium_world(1, 24, 80, 2.0f).map;
    std::vector<cell> cells = random_cells(map);
    size_t i = 0;
    for (auto _ : state) {
        const cell &c = cells[i % CELLS];
        map.write(c.row, c.col, (i & 1) ? 'A' : ' ');
        i++;
    }
}

}  // namespace

void register_cell_benchmarks()
{
    benchmark::RegisterBenchmark("Cell_Read", Cell_Read);
    benchmark::RegisterBenchmark("Cell_Write", Cell_Write);
}

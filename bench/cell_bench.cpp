// The map's cell read and write on the default world: what every turn
// is made of.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/headless.h"
#include "common/cell.h"
#include "terrarium/globals.h"

namespace {

using namespace terrarium;

constexpr int CELLS = 4096;

struct cell {
    int row, col;
};

std::vector<cell> random_cells()
{
    std::mt19937 rng(12345);
    std::vector<cell> cells(CELLS);
    for (cell &c : cells)
        c = {static_cast<int>(rng() % world_row), static_cast<int>(rng() % world_col)};
    return cells;
}

void Cell_Read(benchmark::State &state)
{
    terrarium_world(1, 24, 80, 2.0f);
    std::vector<cell> cells = random_cells();
    size_t i = 0;
    char glyph = 0;
    for (auto _ : state) {
        const cell &c = cells[i++ % CELLS];
        cell_read(world_pad, c.row, c.col, &glyph);
        benchmark::DoNotOptimize(glyph);
    }
}

void Cell_Write(benchmark::State &state)
{
    terrarium_world(1, 24, 80, 2.0f);
    std::vector<cell> cells = random_cells();
    size_t i = 0;
    for (auto _ : state) {
        const cell &c = cells[i % CELLS];
        cell_write(world_pad, c.row, c.col, (i & 1) ? 'A' : ' ');
        i++;
    }
}

void Cell_ReadRow(benchmark::State &state)
{
    terrarium_world(1, 24, 80, 2.0f);
    std::vector<char> line(static_cast<size_t>(world_col));
    int row = 0;
    for (auto _ : state) {
        cell_read_row(world_pad, row, line.data(), world_col);
        benchmark::DoNotOptimize(line.data());
        row = (row + 1) % world_row;
    }
    state.counters["cells"] = world_col;
}

}  // namespace

void register_cell_benchmarks()
{
    benchmark::RegisterBenchmark("Cell_Read", Cell_Read);
    benchmark::RegisterBenchmark("Cell_Write", Cell_Write);
    benchmark::RegisterBenchmark("Cell_ReadRow/160", Cell_ReadRow);
}

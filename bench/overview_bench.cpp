// The overview of the big world (6000 x 1800 cells) on a 200 x 60 screen:
// drawing every block's glyph once, as a display does after each pass.
#include <benchmark/benchmark.h>

#include "bench/headless.h"
#include "common/map.h"
#include "screen/overview.h"

namespace {

void W2_Overview(benchmark::State &state)
{
    const common::world_map &map = terrarium_world(1, 60, 200, 30.0f).map;
    common::overview_layout layout = common::overview_layout_for(map.rows(), map.cols(), 59, 200);
    common::overview overview;
    std::vector<char> glyphs;
    double seconds = 0;
    for (auto _ : state) {
        auto start = bench_clock::now();
        overview.draw(map.row(0), map.rows(), map.cols(), layout, glyphs);
        benchmark::DoNotOptimize(glyphs.data());
        double elapsed = seconds_since(start);
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    state.counters["draw_ms"] = seconds * 1e3 / state.iterations();
    state.counters["block_rows"] = layout.block_rows;
    state.counters["block_cols"] = layout.block_cols;
}

}  // namespace

void register_overview_benchmarks()
{
    benchmark::RegisterBenchmark("W2_Overview/6000x1800", W2_Overview)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
}

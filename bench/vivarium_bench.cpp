// W5: vivarium on a 200 x 60 screen (2009 x 609 cells): start-up, and the
// cost of a turn over its first 20 passes.
#include <benchmark/benchmark.h>

#include "bench/headless.h"
#include "common/headless.h"
#include "common/map.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"

namespace {

constexpr unsigned SEED = 1;
constexpr long PASSES = 20;

void vivarium_world()
{
    common::forget(vivarium::headless);
    common::headless_screen(60, 200);
    common::start_seeded(vivarium::headless, SEED);
}

void W5_Vivarium(benchmark::State &state)
{
    double startup_s = 0, run_s = 0;
    long turns = 0;
    for (auto _ : state) {
        auto start = bench_clock::now();
        vivarium_world();
        double built = seconds_since(start);
        auto begin = bench_clock::now();
        turns += run_passes(PASSES);
        double ran = seconds_since(begin);
        state.SetIterationTime(built + ran);
        startup_s += built;
        run_s += ran;
    }
    double n = static_cast<double>(state.iterations());
    state.counters["startup_ms"] = startup_s * 1e3 / n;
    state.counters["ns_per_turn"] = run_s * 1e9 / turns;
    state.counters["cells"] = static_cast<double>(common::world_row) * common::world_col;
    state.counters["bugs_at_end"] = vivarium::population;
}

}  // namespace

void register_vivarium_benchmarks()
{
    benchmark::RegisterBenchmark("W5_Vivarium/20passes", W5_Vivarium)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

// W5: vivarium on a 200 x 60 screen (2009 x 609 cells): start-up, and the
// cost of a turn over its first 20 passes.
#include <benchmark/benchmark.h>

#include "bench/headless.h"
#include <memory>

#include "storage/headless.h"
#include "vivarium/rules.h"

namespace {

constexpr unsigned SEED = 1;
constexpr long PASSES = 20;

std::unique_ptr<vivarium::world> vivarium_world()
{
    common::headless_hooks();
    auto w = std::make_unique<vivarium::world>();
    common::start_seeded(*w, vivarium::world_rules, SEED, 60, 200);
    must_run(*w);
    return w;
}

void W5_Vivarium(benchmark::State &state)
{
    double startup_s = 0, run_s = 0;
    long turns = 0;
    double cells = 0, bugs_at_end = 0;
    for (auto _ : state) {
        auto start = bench_clock::now();
        std::unique_ptr<vivarium::world> w = vivarium_world();
        double built = seconds_since(start);
        auto begin = bench_clock::now();
        long taken = 0;
        common::run_passes(*w, vivarium::world_rules, PASSES, &taken);
        must_run(*w);
        turns += taken;
        double ran = seconds_since(begin);
        state.SetIterationTime(built + ran);
        startup_s += built;
        run_s += ran;
        cells = static_cast<double>(w->map.rows()) * w->map.cols();
        bugs_at_end = w->population;
    }
    double n = static_cast<double>(state.iterations());
    state.counters["startup_ms"] = startup_s * 1e3 / n;
    state.counters["ns_per_turn"] = run_s * 1e9 / turns;
    state.counters["cells"] = cells;
    state.counters["bugs_at_end"] = bugs_at_end;
}

}  // namespace

void register_vivarium_benchmarks()
{
    benchmark::RegisterBenchmark("W5_Vivarium/20passes", W5_Vivarium)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

// Whole runs of terrarium: the default world (W1) and the big world (W2).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/headless.h"
#include "storage/headless.h"
#include "screen/map_view.h"
#include "common/ring.h"
#include "screen/term.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"
#include "storage/lineage.h"
#include "storage/run_log.h"

namespace {

constexpr unsigned SEED = 1;

// W1: an 80 x 24 screen with the default options (160 x 48 cells, 76
// bugs), passes 1 to 2000. Time per iteration: the 2000 passes; with
// `log_path`, the run writes its log there, a row per pass, as
// TERRARIUM_LOG does; with `lineage_path`, its genealogy, as
// TERRARIUM_LINEAGE does.
void default_world(benchmark::State &state, const char *log_path, const char *lineage_path = nullptr)
{
    double seconds = 0;
    long turns = 0;
    long bugs_left = 0;
    for (auto _ : state) {
        common::run_log log;
        if (log_path != nullptr && !log.open(log_path, terrarium::describe(terrarium::world()), SEED)) {
            state.SkipWithError("the log cannot be opened");
            return;
        }
        common::lineage genealogy;
        if (lineage_path != nullptr && !genealogy.open(lineage_path, terrarium::describe(terrarium::world()), SEED)) {
            state.SkipWithError("the genealogy cannot be opened");
            return;
        }
        terrarium::world &w = terrarium_world(SEED, 24, 80, 2.0f);
        if (lineage_path != nullptr)
            genealogy.watch(w);
        if (log_path != nullptr) {
            log.watch(w);
            log.census_from(terrarium::world_rules.census);
        }
        auto start = bench_clock::now();
        turns += run_passes(2000);
        double elapsed = seconds_since(start);
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        bugs_left = common::ring_size(w.refs.cursor);
        log.finish(0, false);
        genealogy.finish();
    }
    state.counters["ns_per_turn"] = seconds * 1e9 / turns;
    state.counters["turns"] = static_cast<double>(turns) / state.iterations();
    state.counters["bugs_at_end"] = static_cast<double>(bugs_left);
}

void W1_DefaultWorld(benchmark::State &state) { default_world(state, nullptr); }

// The same with a log in a temporary file, written through the page cache.
void W1_DefaultWorldLogged(benchmark::State &state)
{
    char path[] = "/tmp/terrarium-bench-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    close(fd);
    default_world(state, path);
    unlink(path);
}

// The same with its genealogy compressed in a temporary file.
void W1_DefaultWorldLineage(benchmark::State &state)
{
    char path[] = "/tmp/terrarium-bench-XXXXXX.zst";
    int fd = mkstemps(path, 4);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    close(fd);
    default_world(state, nullptr, path);
    unlink(path);
}

// W2: a 200 x 60 screen with -s 30 (6000 x 1800 cells, 108,000 bugs).
// The run goes in a child process, so that its peak memory is its own.
constexpr int W2_PASSES = 50;

struct big_run {
    int ok;
    double startup_s;
    double pass_s[W2_PASSES];
    long turns[W2_PASSES];
    long bugs_at_start;
    long bugs_at_end;
};

void run_big_world(big_run *r)
{
    auto start = bench_clock::now();
    terrarium::world &w = terrarium_world(SEED, 60, 200, 30.0f);
    r->startup_s = seconds_since(start);
    r->bugs_at_start = common::ring_size(w.refs.cursor);
    for (int pass = 0; pass < W2_PASSES; pass++) {
        auto begin = bench_clock::now();
        // The first call also crosses the boundary that opens pass 1.
        r->turns[pass] = run_passes(1);
        r->pass_s[pass] = seconds_since(begin);
    }
    r->bugs_at_end = common::ring_size(w.refs.cursor);
    r->ok = 1;
}

void W2_BigWorld(benchmark::State &state)
{
    big_run r{};
    double peak_mb = 0;
    for (auto _ : state) {
        if (!in_child(&r, run_big_world, &peak_mb)) {
            state.SkipWithError("the big world's run failed");
            return;
        }
        double total = r.startup_s;
        for (double s : r.pass_s)
            total += s;
        state.SetIterationTime(total);
    }
    double plain_s = 0, ageing_s = 0;
    long plain_turns = 0;
    int plain = 0, ageing = 0;
    for (int pass = 0; pass < W2_PASSES; pass++) {
        // Passes 25 and 50 are the ageing passes.
        if ((pass + 1) % 25 == 0) {
            ageing_s += r.pass_s[pass];
            ageing++;
        } else {
            plain_s += r.pass_s[pass];
            plain_turns += r.turns[pass];
            plain++;
        }
    }
    double all_s = plain_s + ageing_s;
    state.counters["startup_s"] = r.startup_s;
    state.counters["pass_ms"] = all_s * 1e3 / W2_PASSES;
    state.counters["plain_pass_ms"] = plain_s * 1e3 / plain;
    state.counters["ageing_pass_ms"] = ageing_s * 1e3 / ageing;
    state.counters["ns_per_turn"] = plain_s * 1e9 / plain_turns;
    state.counters["peak_rss_MB"] = peak_mb;
    state.counters["bugs_at_start"] = static_cast<double>(r.bugs_at_start);
    state.counters["bugs_at_end"] = static_cast<double>(r.bugs_at_end);
}

// The display's part of W2: bringing a pad up to date with the map after
// each pass, as the interactive program does before it shows the map. The
// only workload with a screen (a null one).
void W2_Draw(benchmark::State &state)
{
    terrarium::world &w = terrarium_world(SEED, 60, 200, 30.0f);
    if (!common::open_null_terminal(60, 200)) {
        state.SkipWithError("no null terminal");
        return;
    }
    common::selection_record selection(w.map);  // as the program has it
    common::map_view view(&selection.cells());
    if (!view.open(w.map)) {
        state.SkipWithError("no pad");
        return;
    }
    view.catch_up();
    for (auto _ : state) {
        run_passes(1);
        auto start = bench_clock::now();
        view.catch_up();
        state.SetIterationTime(seconds_since(start));
    }
}

}  // namespace

void register_world_file_benchmarks();

void register_world_benchmarks()
{
    benchmark::RegisterBenchmark("W1_DefaultWorld/2000passes", W1_DefaultWorld)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0);
    benchmark::RegisterBenchmark("W1_DefaultWorld/2000passes_logged", W1_DefaultWorldLogged)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0);
    benchmark::RegisterBenchmark("W1_DefaultWorld/2000passes_lineage", W1_DefaultWorldLineage)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0);
    benchmark::RegisterBenchmark("W2_BigWorld/50passes", W2_BigWorld)
        ->UseManualTime()
        ->Unit(benchmark::kSecond)
        ->Iterations(1);
    // In children of a process that holds no big world yet.
    register_world_file_benchmarks();
    benchmark::RegisterBenchmark("W2_BigWorld/draw", W2_Draw)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
}

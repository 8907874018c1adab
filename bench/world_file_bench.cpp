// Saving and resuming the big world (W2): the whole save of a world file,
// its size, reading it back to the first pass, and the peak memory of a
// resumed run against a fresh one. Each part runs in a child of its own,
// so that its peak memory is its own and no world of the parent is
// counted in it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/headless.h"
#include "screen/autosave.h"
#include "storage/headless.h"
#include "storage/world_file.h"
#include "terrarium/rules.h"

namespace {

constexpr unsigned SEED = 1;

struct save_figures {
    int ok;
    double fresh_peak_mb;  // started and run one pass
    double save_s;         // save_world, the file flushed to disk: CPU time
    double save_wall_s;    // and the time it took
    double file_mb;
    double saving_peak_mb;
    double fork_pause_ms;  // the simulation's pause while a background save starts
    double background_s;   // that save, from its start to its end: wall time
};

struct resume_figures {
    int ok;
    double load_s;          // load_world, up to the first pass: CPU time
    double load_wall_s;     // and the time it took
    double first_pass_s;    // that pass
    double resumed_peak_mb;
};

double wall_seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string world_path()
{
    const char *dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/terrarium-bench-" +
           std::to_string(getpid()) + ".world";
}

void save_big_world(const std::string &path, save_figures *f)
{
    terrarium::world &w = terrarium_world(SEED, 60, 200, 30.0f);
    run_passes(1);
    f->fresh_peak_mb = peak_rss_mb();
    std::string why;
    auto start = bench_clock::now();
    auto wall = std::chrono::steady_clock::now();
    bool saved = common::save_world(path, w, terrarium::world_rules, common::run_state{}, &why);
    f->save_s = seconds_since(start);
    f->save_wall_s = wall_seconds_since(wall);
    f->saving_peak_mb = peak_rss_mb();
    struct stat file {};
    f->ok = saved && stat(path.c_str(), &file) == 0;
    f->file_mb = static_cast<double>(file.st_size) / (1024.0 * 1024.0);
    common::background_save save;
    wall = std::chrono::steady_clock::now();
    bool started = common::start_background_save(&save, path + ".bg", w, terrarium::world_rules, {}, &why);
    f->fork_pause_ms = 1000 * wall_seconds_since(wall);
    f->ok = f->ok && started &&
            common::collect_background_save(&save, true, &why) == common::save_outcome::saved;
    f->background_s = wall_seconds_since(wall);
    unlink((path + ".bg").c_str());
}

void resume_big_world(const std::string &path, resume_figures *f)
{
    common::headless_hooks();
    terrarium::world w;
    common::run_state run;
    std::string why;
    auto start = bench_clock::now();
    auto wall = std::chrono::steady_clock::now();
    int status = common::load_world(path, w, terrarium::world_rules, &run, &why);
    if (status == 0 && run.turn_pending)
        common::play_turn(w, terrarium::world_rules);
    f->load_s = seconds_since(start);
    f->load_wall_s = wall_seconds_since(wall);
    if (status != 0)
        return;
    start = bench_clock::now();
    common::run_passes(w, terrarium::world_rules, 1);
    f->first_pass_s = seconds_since(start);
    must_run(w);
    f->resumed_peak_mb = peak_rss_mb();
    f->ok = 1;
}

// Time per iteration: the save and the load (the CPU time of each).
void W2_SaveResume(benchmark::State &state)
{
    std::string path = world_path();
    save_figures saved{};
    resume_figures resumed{};
    for (auto _ : state) {
        if (!in_child(&saved, [&](save_figures *f) { save_big_world(path, f); }) ||
            !in_child(&resumed, [&](resume_figures *f) { resume_big_world(path, f); })) {
            unlink(path.c_str());
            state.SkipWithError("the big world was not saved and read back");
            return;
        }
        state.SetIterationTime(saved.save_s + resumed.load_s);
    }
    unlink(path.c_str());
    state.counters["save_s"] = saved.save_s;
    state.counters["save_wall_s"] = saved.save_wall_s;
    state.counters["file_MB"] = saved.file_mb;
    state.counters["load_s"] = resumed.load_s;
    state.counters["load_wall_s"] = resumed.load_wall_s;
    state.counters["first_pass_s"] = resumed.first_pass_s;
    state.counters["fresh_peak_MB"] = saved.fresh_peak_mb;
    state.counters["saving_peak_MB"] = saved.saving_peak_mb;
    state.counters["fork_pause_ms"] = saved.fork_pause_ms;
    state.counters["background_save_s"] = saved.background_s;
    state.counters["resumed_peak_MB"] = resumed.resumed_peak_mb;
}

}  // namespace

void register_world_file_benchmarks()
{
    benchmark::RegisterBenchmark("W2_BigWorld/save_and_resume", W2_SaveResume)
        ->UseManualTime()
        ->Unit(benchmark::kSecond)
        ->Iterations(1);
}

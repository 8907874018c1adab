#include "storage/headless.h"

#include <new>
#include <optional>
#include <string>

#include "common/drawn_selection.h"
#include "common/hooks.h"
#include "common/outcome.h"
#include "storage/run_log.h"
#include "common/text.h"

namespace common {

void headless_hooks()
{
    hooks.sleep_seconds = [](unsigned) {};
    hooks.sleep_micros = [](useconds_t) {};
}

outcome start_seeded(world_base &w, const rules &r, unsigned seed, int lines, int cols)
{
    if (size_world(w, r, lines, cols) == outcome::running && w.open(seed) == outcome::running)
        start_world(w, r);
    return w.outcome;
}

namespace {

// A save on the way that could not be made: its line.
struct save_failed {
    std::string why;
};

// Runs `passes` passes of a world standing at a pass boundary, as `run`
// says (a turn first when one is pending), saving it as `save` says, up
// to the world's end if it comes first. Returns the outcome.
outcome run_saving(world_base &w, const rules &r, run_state run, long passes, const save_point &save)
{
    const long first = save.at >= 0 ? save.at : passes;
    {
        // The file keeps the cells drawn for the selected bug: they are
        // followed up to the save, and not at all without one.
        std::optional<selection_record> drawn;
        if (save.at >= 0)
            drawn.emplace(w.map, run.selected);
        if (run.turn_pending && first > 0) {
            play_turn(w, r);
            run.turn_pending = false;
        }
        outcome ran = run_passes(w, r, first);
        if (drawn)
            run.selected = drawn->cells();
        if (ran != outcome::running)
            return w.outcome;
    }
    std::string why;
    if (save.at >= 0 && !save_world(save.path, w, r, run, &why))
        throw save_failed{why};
    if (run.turn_pending)
        play_turn(w, r);
    return run_passes(w, r, passes - first);
}

// The world as its outcome shows it: dumped, unless refused; then, when
// it did not run to the end, "stopped" after the dump and its message on
// the standard error stream. Returns the outcome's status.
int show_outcome(const world_base &w, const rules &r, std::FILE *out)
{
    if (!refused(w.outcome))
        r.dump(out, w);
    if (w.outcome == outcome::running)
        return 0;
    if (!refused(w.outcome))
        std::fputs("stopped\n", out);
    std::fputs(w.outcome_message.c_str(), stderr);
    return exit_status(w.outcome);
}

// Runs `go` on the world, watched by `log` if any, and shows it; memory
// short and the log's end as run_headless says. Returns the exit status.
template <class Go>
int run_guarded(world_base &w, const rules &r, std::FILE *out, run_log *log, Go go)
{
    headless_hooks();
    int status = 0;
    if (log != nullptr)
        log->watch(w);
    try {
        go();
        status = show_outcome(w, r, out);
    } catch (const std::bad_alloc &) {
        // Memory runs short where the program refuses its world.
        std::fputs("world too large\n", stderr);
        status = EXIT_WORLD_TOO_LARGE;
    } catch (const save_failed &failed) {
        std::fprintf(stderr, "%s: %s\n", r.name, printable(failed.why).c_str());
        status = EXIT_BAD_ENVIRONMENT;
    }
    std::string complaint;
    if (log != nullptr)
        status = log->end(status, &complaint);
    std::fputs(complaint.c_str(), stderr);
    hooks = default_hooks;
    return status;
}

// The log, if any, counts the world's figures once it is whole.
void census_from(run_log *log, const rules &r)
{
    if (log != nullptr)
        log->census_from(r.census);
}

}  // namespace

int run_headless(world_base &w, const rules &r, unsigned seed, int lines, int cols, long passes, std::FILE *out,
                 const save_point &save, run_log *log)
{
    return run_guarded(w, r, out, log, [&] {
        if (start_seeded(w, r, seed, lines, cols) == outcome::running) {
            census_from(log, r);
            run_saving(w, r, run_state(), passes, save);
        }
    });
}

int resume_headless(world_base &w, const rules &r, const run_state &run, long passes, std::FILE *out,
                    const save_point &save, run_log *log)
{
    return run_guarded(w, r, out, log, [&] {
        census_from(log, r);
        run_saving(w, r, run, passes, save);
    });
}

}  // namespace common

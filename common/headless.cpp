#include "common/headless.h"

#include <new>
#include <optional>
#include <string>

#include "common/drawn_selection.h"
#include "common/hooks.h"
#include "common/run_log.h"
#include "common/stop.h"
#include "common/text.h"

namespace common {

namespace {

[[noreturn]] void throw_stop(int status, const char *message)
{
    throw stopped{status, message ? message : ""};
}

}  // namespace

void headless_hooks()
{
    hooks.stop = throw_stop;
    hooks.sleep_seconds = [](unsigned) {};
    hooks.sleep_micros = [](useconds_t) {};
}

void start_seeded(world_base &w, const rules &r, unsigned seed, int lines, int cols)
{
    size_world(w, r, lines, cols);
    w.open(seed);
    r.start(w);
    log_census_from(r.census);
}

namespace {

// A save on the way that could not be made: its line.
struct save_failed {
    std::string why;
};

// Runs `passes` passes of a world standing at a pass boundary, as `run`
// says (a turn first when one is pending), saving it as `save` says.
void run_saving(world_base &w, const rules &r, run_state run, long passes, const save_point &save)
{
    const long first = save.at >= 0 ? save.at : passes;
    {
        // The file keeps the cells drawn for the selected bug: they are
        // followed up to the save, and not at all without one.
        std::optional<selection_record> drawn;
        if (save.at >= 0)
            drawn.emplace(w.map, run.selected);
        if (run.turn_pending && first > 0) {
            take_turn(w, r);
            run.turn_pending = false;
        }
        run_passes(w, r, first);
        if (drawn)
            run.selected = drawn->cells();
    }
    std::string why;
    if (save.at >= 0 && !save_world(save.path, w, r, run, &why))
        throw save_failed{why};
    if (run.turn_pending)
        take_turn(w, r);
    run_passes(w, r, passes - first);
}

// Runs `go` on the world and dumps it; the stops, memory short and the
// log's end as run_headless says. Returns the exit status.
template <class Go>
int run_guarded(world_base &w, const rules &r, std::FILE *out, Go go)
{
    headless_hooks();
    int status = 0;
    try {
        go();
        r.dump(out, w);
    } catch (const stopped &s) {
        // A refused world has nothing to dump; a world that ended (one bug
        // left, or bad terrain) is dumped as it stands.
        if (s.status != EXIT_WORLD_TOO_SMALL && s.status != EXIT_WORLD_TOO_LARGE) {
            r.dump(out, w);
            std::fputs("stopped\n", out);
        }
        std::fputs(s.message.c_str(), stderr);
        status = s.status;
    } catch (const std::bad_alloc &) {
        // Memory runs short where the program refuses its world.
        std::fputs("world too large\n", stderr);
        status = EXIT_WORLD_TOO_LARGE;
    } catch (const save_failed &failed) {
        std::fprintf(stderr, "%s: %s\n", r.name, printable(failed.why).c_str());
        status = EXIT_BAD_ENVIRONMENT;
    }
    std::string complaint;
    status = end_log(status, r.name, &complaint);
    std::fputs(complaint.c_str(), stderr);
    hooks = default_hooks;
    return status;
}

}  // namespace

int run_headless(world_base &w, const rules &r, unsigned seed, int lines, int cols, long passes, std::FILE *out,
                 const save_point &save)
{
    return run_guarded(w, r, out, [&] {
        start_seeded(w, r, seed, lines, cols);
        run_saving(w, r, run_state(), passes, save);
    });
}

int resume_headless(world_base &w, const rules &r, const run_state &run, long passes, std::FILE *out,
                    const save_point &save)
{
    return run_guarded(w, r, out, [&] {
        log_world(w);
        log_census_from(r.census);
        run_saving(w, r, run, passes, save);
    });
}

}  // namespace common

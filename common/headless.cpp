#include "common/headless.h"

#include <new>

#include "common/hooks.h"
#include "common/run_log.h"
#include "common/stop.h"

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

int run_headless(world_base &w, const rules &r, unsigned seed, int lines, int cols, long passes, std::FILE *out)
{
    headless_hooks();
    int status = 0;
    try {
        start_seeded(w, r, seed, lines, cols);
        run_passes(w, r, passes);
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
    }
    std::string complaint;
    status = end_log(status, r.name, &complaint);
    std::fputs(complaint.c_str(), stderr);
    hooks = default_hooks;
    return status;
}

int run_headless_loaded(world_base &w, const rules &r, const run_state &run, long passes, std::FILE *out)
{
    headless_hooks();
    log_world(w);
    log_census_from(r.census);
    int status = 0;
    try {
        if (run.turn_pending)
            take_turn(w, r);
        run_passes(w, r, passes);
        r.dump(out, w);
    } catch (const stopped &s) {
        r.dump(out, w);
        std::fputs("stopped\n", out);
        std::fputs(s.message.c_str(), stderr);
        status = s.status;
    } catch (const std::bad_alloc &) {
        std::fputs("world too large\n", stderr);
        status = EXIT_WORLD_TOO_LARGE;
    }
    std::string complaint;
    status = end_log(status, r.name, &complaint);
    std::fputs(complaint.c_str(), stderr);
    hooks = default_hooks;
    return status;
}

}  // namespace common

#include "common/headless.h"

#include <new>

#include "common/hooks.h"
#include "common/map.h"
#include "common/run_log.h"
#include "common/term.h"

namespace common {

namespace {

[[noreturn]] void throw_stop(int status, const char *message)
{
    throw stopped{status, message ? message : ""};
}

}  // namespace

bool headless_screen(int lines, int cols)
{
    leave_loop();
    close_world();
    hooks.stop = throw_stop;
    hooks.sleep_seconds = [](unsigned) {};
    hooks.sleep_micros = [](useconds_t) {};
    return open_null_terminal(lines, cols);
}

void dump_world(std::FILE *out, const char *name, long passes)
{
    std::fprintf(out, "program %s rows %d cols %d passes %ld phase %d\n", name, world_row, world_col, passes, phase);
    for (int row = 0; row < world_row; row++) {
        std::fwrite(map_row(row), 1, static_cast<size_t>(world_col), out);
        std::fputc('\n', out);
    }
}

void start_seeded(const headless_program &program, unsigned seed)
{
    program.set_world_size();
    open_world(seed);
    program.start();
    program.enter_loop();
}

void forget(const headless_program &program)
{
    program.free_world();
    leave_loop();
}

int run_headless(const headless_program &program, unsigned seed, int lines, int cols, long passes,
                 std::FILE *out)
{
    forget(program);
    if (!headless_screen(lines, cols)) {
        std::fprintf(stderr, "%s: cannot open curses on /dev/null\n", program.name);
        return 1;
    }
    long done = 0;
    int status = 0;
    phase = 0;  // as in a fresh process, should the start itself stop
    try {
        start_seeded(program, seed);
        run_passes(passes, &done);
        program.dump(out, done);
    } catch (const stopped &s) {
        // A refused world has nothing to dump; a world that ended (one bug
        // left, or bad terrain) is dumped as it stands.
        if (s.status != EXIT_WORLD_TOO_SMALL && s.status != EXIT_WORLD_TOO_LARGE) {
            program.dump(out, done);
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
    status = end_log(status, program.name, &complaint);
    std::fputs(complaint.c_str(), stderr);
    forget(program);
    hooks = default_hooks;
    return status;
}

}  // namespace common

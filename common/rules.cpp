#include "common/rules.h"

#include "common/stop.h"
#include "common/text.h"

namespace common {

void size_world(world_base &w, const rules &r, int lines, int cols)
{
    w.screen_lines = lines;
    w.screen_cols = cols;
    r.world_size(w);
}

void pass_boundary(world_base &w, const rules &)
{
    w.observers.at_pass_boundary(w);
    w.passes++;
    w.phase = (w.phase + 1) % 25;
}

long run_passes(world_base &w, const rules &r, long passes, long *done)
{
    long turns = 0;
    long begun = 0;
    for (;;) {
        if (r.at_boundary(w)) {
            if (begun == passes)
                return turns;
            begun++;
            if (done)
                *done = begun;
            pass_boundary(w, r);
        }
        take_turn(w, r);
        turns++;
    }
}

void stop_last_bug(const world_base &w, const char *program, bool none_left)
{
    stop_with(0, text_of("%s: %s bug left after %ld passes\n", program, none_left ? "no" : "one", w.passes).c_str());
}

void dump_map(std::FILE *out, const char *name, const world_base &w)
{
    std::fprintf(out, "program %s rows %d cols %d passes %ld phase %d\n", name, w.map.rows(), w.map.cols(), w.passes,
                 w.phase);
    for (int row = 0; row < w.map.rows(); row++) {
        std::fwrite(w.map.row(row), 1, static_cast<size_t>(w.map.cols()), out);
        std::fputc('\n', out);
    }
}

}  // namespace common

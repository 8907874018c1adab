#include "common/rules.h"

#include <utility>

#include "common/text.h"

namespace common {

namespace {

// A world's end on its way from the rule that ended it to the caller that
// runs the rule, which records it in the world. Thrown only through the
// rules' own code: nothing else sees it.
struct world_ended {
    outcome why;
    std::string message;
};

void record(world_base &w, const world_ended &end)
{
    w.outcome = end.why;
    w.outcome_message = end.message;
}

}  // namespace

int exit_status(outcome o)
{
    switch (o) {
    case outcome::too_small: return EXIT_WORLD_TOO_SMALL;
    case outcome::too_large: return EXIT_WORLD_TOO_LARGE;
    case outcome::bad_terrain: return EXIT_BAD_TERRAIN;
    case outcome::lost_bug: return EXIT_LOST_BUG;
    default: return 0;  // running, and the last bug's ends
    }
}

void end_world(outcome o, std::string message) { throw world_ended{o, std::move(message)}; }

outcome run_rule(world_base &w, const std::function<void()> &rule)
{
    try {
        rule();
    } catch (const world_ended &end) {
        record(w, end);
    }
    return w.outcome;
}

outcome size_world(world_base &w, const rules &r, int lines, int cols)
{
    w.screen_lines = lines;
    w.screen_cols = cols;
    return run_rule(w, [&] { r.world_size(w); });
}

outcome start_world(world_base &w, const rules &r)
{
    return run_rule(w, [&] { r.start(w); });
}

void pass_boundary(world_base &w, const rules &)
{
    w.observers.at_pass_boundary(w);
    w.passes++;
    w.phase = (w.phase + 1) % 25;
}

outcome play_turn(world_base &w, const rules &r)
{
    if (w.outcome == outcome::running)
        try {
            take_turn(w, r);
        } catch (const world_ended &end) {
            record(w, end);
        }
    return w.outcome;
}

outcome run_passes(world_base &w, const rules &r, long passes, long *turns)
{
    long taken = 0;
    long begun = 0;
    // The outcome read once and one handler round the whole run: a turn
    // costs nothing more for them, as a world's end always unwinds to here.
    try {
        if (w.outcome == outcome::running)
            for (;;) {
                if (r.at_boundary(w)) {
                    if (begun == passes)
                        break;
                    begun++;
                    pass_boundary(w, r);
                }
                take_turn(w, r);
                taken++;
            }
    } catch (const world_ended &end) {
        record(w, end);
    }
    if (turns != nullptr)
        *turns = taken;
    return w.outcome;
}

void end_last_bug(const world_base &w, const char *program, bool none_left)
{
    end_world(none_left ? outcome::no_bug_left : outcome::one_bug_left,
              text_of("%s: %s bug left after %ld passes\n", program, none_left ? "no" : "one", w.passes));
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

#include <unordered_map>

#include "common/loop.h"
#include "common/ring_walk.h"
#include "common/term.h"
#include "tools/dump.h"
#include "tools/dump_common.h"
#include "vivarium/driver.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"

namespace {

using namespace vivarium;

void dump_state(std::FILE *out, long passes)
{
    std::fprintf(out, "program vivarium rows %d cols %d passes %ld phase %d\n", map_rows, map_cols, passes,
                 common::phase);
    dump_pad(out, world_pad, map_rows, map_cols);
    std::unordered_map<const bug *, int> index;
    for_each_bug(bugs, [&](const bug *b) { index.emplace(b, static_cast<int>(index.size())); });
    std::fprintf(out, "bugs %zu\n", index.size());
    for_each_bug(bugs, [&](const bug *b) {
        std::fprintf(out, "%d %d %d %d %c %d %d %d dna=", b->x, b->y, b->vector, b->food, b->race, b->age,
                     b->gen, b->size);
        for (int gene : b->dna)
            std::fprintf(out, "%d", gene);
        std::fputc('\n', out);
    });
    auto at = [&](const bug *p) { return p == nullptr ? -1 : index.at(p); };
    std::fprintf(out, "first %d sb %d hf %d hg %d old %d\n", at(first), at(sb), at(hf), at(hg), at(old));
    std::fprintf(out, "population %d\n", population);
}

// Pass boundaries reached so far in the run.
long passes = 0;

// The program's start-up with the given seed, then its main loop as with
// no key ever pressed, up to the boundary that would open pass
// `last_pass` + 1, before any of that boundary's work.
void run(unsigned seed, long last_pass)
{
    set_world_size();
    build_world(seed);
    enter_loop();
    for (passes = 0;; loop_step(nullptr))
        if (bugs == first && passes++ == last_pass) {
            passes--;
            return;
        }
}

// Windows die with their screen, and a run opens a new one: let go of
// them while their screen is there.
void forget_run()
{
    free_world();
    if (common::status_win != nullptr) {
        delwin(common::status_win);
        common::status_win = nullptr;
    }
}

}  // namespace

int dump_vivarium(const dump_request &request, std::FILE *out)
{
    forget_run();
    if (!open_null_terminal(request.lines, request.cols)) {
        std::fputs("simdump: cannot open curses on /dev/null\n", stderr);
        return 1;
    }
    stop_hook = throw_stop;
    try {
        run(request.seed, request.passes);
    } catch (const stopped &s) {
        stop_hook = nullptr;
        if (!is_refusal(s.status)) {
            dump_state(out, passes);
            std::fputs("stopped\n", out);
        }
        std::fputs(s.message.c_str(), stderr);
        forget_run();
        return s.status;
    }
    stop_hook = nullptr;
    dump_state(out, passes);
    forget_run();
    return 0;
}

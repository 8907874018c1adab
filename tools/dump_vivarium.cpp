#include <unordered_map>

#include "common/loop.h"
#include "common/ring_walk.h"
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

// Windows die with their screen, and a run opens a new one: let go of
// them while their screen is there.
void forget()
{
    free_world();
    common::leave_loop();
}

void start(unsigned seed)
{
    set_world_size();
    build_world(seed);
    enter_loop();
}

void run(long passes, long *done) { common::run_passes(bugs, first, loop_step, passes, done); }

}  // namespace

int dump_vivarium(const dump_request &request, std::FILE *out)
{
    const headless_program program = {forget, start, run, dump_state};
    return run_headless(program, request.seed, request.lines, request.cols, request.passes, out);
}

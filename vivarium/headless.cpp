#include "common/headless.h"
#include "vivarium/driver.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"

namespace vivarium {

namespace {

void dump_bug(std::FILE *out, const bug *b)
{
    std::fprintf(out, "%d %d %d %d %c %d %d %d dna=", b->x, b->y, b->vector, b->food, b->race, b->age, b->gen,
                 b->size);
    for (int gene : b->dna)
        std::fprintf(out, "%d", gene);
    std::fputc('\n', out);
}

// The map, the bugs in turn order with every field, the bug pointers as
// numbers in that order, and the population count.
void dump(std::FILE *out, long passes)
{
    dump_world(out, "vivarium", passes);
    dump_bugs<bug>(out, dump_bug, refs, trackers);
    std::fprintf(out, "population %d\n", population);
}

}  // namespace

const common::headless_program headless = {"vivarium", set_world_size, start, enter_loop, dump, free_world,
                                           describe};

}  // namespace vivarium

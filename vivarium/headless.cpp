#include "storage/headless.h"
#include "vivarium/rules.h"

namespace vivarium {

namespace {

void dump_bug(std::FILE *out, const bug *b)
{
    std::fprintf(out, "%d %d %d %d %c %d %d %d dna=", b->x, b->y, b->facing, b->food, b->race, b->age, b->gen,
                 b->size);
    for (int gene : b->dna)
        std::fprintf(out, "%d", gene);
    std::fputc('\n', out);
}

}  // namespace

void dump(std::FILE *out, const world &w)
{
    common::dump_map(out, "vivarium", w);
    common::dump_bugs<bug>(out, dump_bug, w.refs, trackers);
    std::fprintf(out, "population %d\n", w.population);
}

}  // namespace vivarium

#include "storage/headless.h"
#include "terrarium/rules.h"

namespace terrarium {

namespace {

void dump_bug(std::FILE *out, const bug *b)
{
    std::fprintf(out, "%d %d %d %d %c %d %d %d %d dna=", b->x, b->y, b->facing, b->food, b->race, b->age, b->gen,
                 b->size, b->vision);
    for (int gene : b->dna)
        std::fprintf(out, "%d", gene);
    std::fputs(" motive=", out);
    const char *comma = "";
    for (int code = 0; code < GLYPHS; code++)
        if (b->motive[code] != 0) {
            std::fprintf(out, "%s%d:%d", comma, code, b->motive[code]);
            comma = ",";
        }
    std::fputc('\n', out);
}

}  // namespace

void dump(std::FILE *out, const world &w)
{
    common::dump_map(out, "terrarium", w);
    common::dump_bugs<bug>(out, dump_bug, w.refs, trackers);
    std::fprintf(out, "wtr %d mnt %d\n", w.water_cells, w.mountain_cells);
}

}  // namespace terrarium

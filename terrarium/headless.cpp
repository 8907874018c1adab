#include "common/headless.h"
#include "terrarium/driver.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"

namespace terrarium {

namespace {

void dump_bug(std::FILE *out, const bug *b)
{
    std::fprintf(out, "%d %d %d %d %c %d %d %d %d dna=", b->x, b->y, b->vector, b->food, b->race, b->age, b->gen,
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

// The map, the bugs in turn order with every field, the bug pointers as
// numbers in that order, and the terrain counts.
void dump(std::FILE *out, long passes)
{
    dump_world(out, "terrarium", passes);
    dump_bugs<bug>(out, dump_bug, refs, trackers);
    std::fprintf(out, "wtr %d mnt %d\n", wtr_c, mnt_c);
}

}  // namespace

const common::headless_program headless = {"terrarium", set_world_size, start, enter_loop, dump, free_world,
                                           describe};

}  // namespace terrarium

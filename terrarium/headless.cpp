#include "terrarium/headless.h"

#include "common/ring.h"
#include "terrarium/driver.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"

namespace terrarium {

void start_seeded(unsigned seed)
{
    set_world_size();
    build_world(seed);
    enter_loop();
}

void dump(std::FILE *out, long passes)
{
    common::dump_world(out, "terrarium", passes);
    std::unordered_map<const bug *, int> index = common::number_bugs(bugs);
    std::fprintf(out, "bugs %zu\n", index.size());
    common::for_each_bug(bugs, [&](const bug *b) {
        std::fprintf(out, "%d %d %d %d %c %d %d %d %d dna=", b->x, b->y, b->vector, b->food, b->race, b->age,
                     b->gen, b->size, b->vision);
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
    });
    auto at = [&](const bug *p) { return p == nullptr ? -1 : index.at(p); };
    std::fprintf(out, "first %d sb %d hf %d hg %d old %d hk %d\n", at(first), at(sb), at(hf), at(hg), at(old),
                 at(hk));
    std::fprintf(out, "wtr %d mnt %d\n", wtr_c, mnt_c);
}

void forget()
{
    free_world();
    common::leave_loop();
}

const common::headless_program headless = {"terrarium", forget, start_seeded, dump};

}  // namespace terrarium

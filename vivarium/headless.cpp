#include "vivarium/headless.h"

#include "common/ring.h"
#include "vivarium/driver.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"

namespace vivarium {

void start_seeded(unsigned seed)
{
    set_world_size();
    build_world(seed);
    enter_loop();
}

void dump(std::FILE *out, long passes)
{
    common::dump_world(out, "vivarium", passes);
    std::unordered_map<const bug *, int> index = common::number_bugs(bugs);
    std::fprintf(out, "bugs %zu\n", index.size());
    common::for_each_bug(bugs, [&](const bug *b) {
        std::fprintf(out, "%d %d %d %d %c %d %d %d dna=", b->x, b->y, b->vector, b->food, b->race, b->age, b->gen,
                     b->size);
        for (int gene : b->dna)
            std::fprintf(out, "%d", gene);
        std::fputc('\n', out);
    });
    auto at = [&](const bug *p) { return p == nullptr ? -1 : index.at(p); };
    std::fprintf(out, "first %d sb %d hf %d hg %d old %d\n", at(first), at(sb), at(hf), at(hg), at(old));
    std::fprintf(out, "population %d\n", population);
}

void forget()
{
    free_world();
    common::leave_loop();
}

const common::headless_program headless = {"vivarium", forget, start_seeded, dump};

}  // namespace vivarium

#include "tools/lab/saved.h"

#include <cstdio>

#include "common/text.h"
#include "tools/lab/children.h"
#include "tools/saved_world.h"

namespace lab {

namespace {

// The races alive and their counts: "3 (A 40, C 50, F 33)".
std::string races_alive(const common::census &c)
{
    std::string counts;
    for (int race = 0; race < 26; race++)
        if (c.letters[race] > 0)
            counts += common::text_of("%s%c %d", counts.empty() ? "" : ", ", 'A' + race, c.letters[race]);
    if (c.others > 0)
        counts += common::text_of("%sother %d", counts.empty() ? "" : ", ", c.others);
    return common::text_of("%d", c.races) + (counts.empty() ? "" : " (" + counts + ")");
}

}  // namespace

int inspect(const std::string &path)
{
    tools::saved_world saved;
    std::string why;
    int status = tools::read_saved_world(path, &saved, &why);
    if (status != 0) {
        complain(why);
        return status;
    }
    const common::world_base &w = *saved.world;
    const common::world_header &h = saved.header;
    common::census c{};
    saved.program->census(w, &c);
    common::run_description described = saved.program->describe(w);
    std::printf("program: %s\nformat version: %u\n", h.program.c_str(), h.version);
    std::printf("program version: %s\n",
                saved.run.written_by.empty() ? "unknown" : common::printable(saved.run.written_by).c_str());
    std::printf("world: %d x %d (rows x cols), for a screen of %d x %d (lines x cols)\n", w.map.rows(), w.map.cols(),
                w.screen_lines, w.screen_cols);
    std::printf("options: %s\n", described.options.empty() ? "none" : described.options.c_str());
    std::printf("pass: %ld\nphase: %d\npopulation: %ld\nraces alive: %s\n", w.passes, w.phase, c.population,
                races_alive(c).c_str());
    std::printf("averages: food %lld, age %lld, gen %lld, size %lld", c.food, c.age, c.gen, c.size);
    if (described.vision)
        std::printf(", vision %lld", c.vision);
    std::printf("\nsaved: %s, speed %d%s\n", saved.run.paused ? "paused" : "running", saved.run.speed,
                saved.run.turn_pending ? ", before a turn" : "");
    std::printf("bytes: %llu packed, %llu unpacked\n", static_cast<unsigned long long>(h.body_bytes),
                static_cast<unsigned long long>(h.world_bytes));
    return 0;
}

}  // namespace lab

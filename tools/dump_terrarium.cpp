#include <unordered_map>

#include "common/loop.h"
#include "terrarium/driver.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "tools/dump.h"
#include "tools/dump_common.h"

namespace {

using namespace terrarium;

void dump_state(std::FILE *out, long passes)
{
    std::fprintf(out, "program terrarium rows %d cols %d passes %ld phase %d\n", world_row, world_col,
                 passes, phase);
    dump_pad(out, world_pad, world_row, world_col);
    std::unordered_map<const bug *, int> index;
    int n = 0;
    if (bugs != nullptr) {
        const bug *b = bugs;
        do {
            index[b] = n++;
            b = b->next;
        } while (b != bugs);
    }
    std::fprintf(out, "bugs %d\n", n);
    if (bugs != nullptr) {
        const bug *b = bugs;
        do {
            std::fprintf(out, "%d %d %d %d %c %d %d %d %d dna=", b->x, b->y, b->vector, b->food, b->race,
                         b->age, b->gen, b->size, b->vision);
            for (int g : b->dna)
                std::fprintf(out, "%d", g);
            std::fputs(" motive=", out);
            bool comma = false;
            for (int code = 0; code < GLYPHS; code++)
                if (b->motive[code] != 0) {
                    std::fprintf(out, "%s%d:%d", comma ? "," : "", code, b->motive[code]);
                    comma = true;
                }
            std::fputc('\n', out);
            b = b->next;
        } while (b != bugs);
    }
    auto at = [&](const bug *p) { return p == nullptr ? -1 : index.at(p); };
    std::fprintf(out, "first %d sb %d hf %d hg %d old %d hk %d\n", at(first), at(sb), at(hf), at(hg),
                 at(old), at(hk));
    std::fprintf(out, "wtr %d mnt %d\n", wtr_c, mnt_c);
}

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

int dump_terrarium(const dump_request &request, std::FILE *out)
{
    std::vector<const char *> argv{"terrarium"};
    for (const std::string &option : request.options)
        argv.push_back(option.c_str());
    const char *message = nullptr;
    int status = parse_options(static_cast<int>(argv.size()), argv.data(), &message);
    if (status != 0) {
        std::fputs(message, stderr);
        return status;
    }
    const headless_program program = {forget, start, run, dump_state};
    return run_headless(program, request.seed, request.lines, request.cols, request.passes, out);
}

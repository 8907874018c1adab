#include <unordered_map>

#include "common/term.h"
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
    if (!open_null_terminal(request.lines, request.cols)) {
        std::fputs("simdump: cannot open curses on /dev/null\n", stderr);
        return 1;
    }
    long passes = 0;
    free_world();
    stop_hook = throw_stop;
    try {
        set_world_size();
        build_world(request.seed);
        enter_loop();
        for (;;) {
            if (bugs == first) {
                if (passes == request.passes)
                    break;
                passes++;
            }
            loop_step(nullptr, nullptr);
        }
    } catch (const stopped &s) {
        stop_hook = nullptr;
        if (is_refusal(s.status)) {
            std::fputs(s.message.c_str(), stderr);
            free_world();
            return s.status;
        }
        dump_state(out, passes);
        std::fputs("stopped\n", out);
        std::fputs(s.message.c_str(), stderr);
        free_world();
        return s.status;
    }
    stop_hook = nullptr;
    dump_state(out, passes);
    free_world();
    return 0;
}

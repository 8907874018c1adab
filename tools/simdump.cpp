// simdump: runs terrarium or vivarium headless for a number of passes and
// prints the state of the world.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/dump.h"

namespace {

const char usage[] =
    "usage: simdump --program terrarium|vivarium --seed N --lines L --cols C --passes P"
    " [-s S] [-r R] [-g G]\n";

bool read_number(const char *text, long low, long high, long *value)
{
    char *end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high)
        return false;
    *value = v;
    return true;
}

int refuse(const char *why)
{
    std::fprintf(stderr, "simdump: %s\n%s", why, usage);
    return 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    dump_request request;
    bool have_seed = false, have_lines = false, have_cols = false, have_passes = false;
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        bool has_value = i + 1 < argc;
        long value = 0;
        if (std::strcmp(arg, "-s") == 0 || std::strcmp(arg, "-r") == 0 || std::strcmp(arg, "-g") == 0) {
            request.options.push_back(arg);
            if (has_value)
                request.options.push_back(argv[++i]);
        } else if (!has_value) {
            return refuse("missing value");
        } else if (std::strcmp(arg, "--program") == 0) {
            request.program = argv[++i];
        } else if (std::strcmp(arg, "--seed") == 0) {
            if (!read_number(argv[++i], 0, 4294967295L, &value))
                return refuse("bad --seed");
            request.seed = static_cast<unsigned>(value);
            have_seed = true;
        } else if (std::strcmp(arg, "--lines") == 0) {
            if (!read_number(argv[++i], 1, 10000, &value))
                return refuse("bad --lines");
            request.lines = static_cast<int>(value);
            have_lines = true;
        } else if (std::strcmp(arg, "--cols") == 0) {
            if (!read_number(argv[++i], 1, 10000, &value))
                return refuse("bad --cols");
            request.cols = static_cast<int>(value);
            have_cols = true;
        } else if (std::strcmp(arg, "--passes") == 0) {
            if (!read_number(argv[++i], 0, 1000000000L, &value))
                return refuse("bad --passes");
            request.passes = value;
            have_passes = true;
        } else {
            return refuse("unknown argument");
        }
    }
    if (request.program != "terrarium" && request.program != "vivarium")
        return refuse("--program must be terrarium or vivarium");
    if (!have_seed || !have_lines || !have_cols || !have_passes)
        return refuse("--seed, --lines, --cols and --passes are required");
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    return run_dump(request, stdout);
}

// simdump: runs terrarium or vivarium headless for a number of passes and
// prints the state of the world; with --log, writes the run's log as well.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/headless.h"
#include "common/streams.h"
#include "terrarium/init.h"
#include "tools/read_number.h"
#include "vivarium/init.h"

namespace {

const char usage[] =
    "usage: simdump --program terrarium|vivarium --seed N --lines L --cols C --passes P"
    " [-s S] [-r R] [-g G] [--log FILE]\n";

int refuse(const char *why)
{
    std::fprintf(stderr, "simdump: %s\n%s", why, usage);
    return 1;
}

struct numeric_argument {
    const char *name;
    long low, high;
    long value;
    bool given;
};

}  // namespace

int main(int argc, char *argv[])
{
    common::open_standard_streams();
    std::string program;
    const char *log_path = nullptr;
    std::vector<const char *> options{"terrarium"};
    numeric_argument numbers[] = {
        {"--seed", 0, 4294967295L, 0, false},
        {"--lines", 1, 10000, 0, false},
        {"--cols", 1, 10000, 0, false},
        {"--passes", 0, 1000000000L, 0, false},
    };
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        bool has_value = i + 1 < argc;
        if (std::strcmp(arg, "-s") == 0 || std::strcmp(arg, "-r") == 0 || std::strcmp(arg, "-g") == 0) {
            options.push_back(arg);
            if (has_value)
                options.push_back(argv[++i]);
            continue;
        }
        if (!has_value)
            return refuse("missing value");
        const char *value = argv[++i];
        if (std::strcmp(arg, "--program") == 0) {
            program = value;
            continue;
        }
        if (std::strcmp(arg, "--log") == 0) {
            log_path = value;
            continue;
        }
        numeric_argument *number = nullptr;
        for (numeric_argument &n : numbers)
            if (std::strcmp(arg, n.name) == 0)
                number = &n;
        if (number == nullptr)
            return refuse("unknown argument");
        if (!read_number(value, number->low, number->high, &number->value))
            return refuse((std::string("bad ") + number->name).c_str());
        number->given = true;
    }
    if (program != "terrarium" && program != "vivarium")
        return refuse("--program must be terrarium or vivarium");
    for (const numeric_argument &n : numbers)
        if (!n.given)
            return refuse("--seed, --lines, --cols and --passes are required");
    const common::headless_program *run = &vivarium::headless;
    if (program == "vivarium" && options.size() > 1)
        return refuse("vivarium takes no -s, -r or -g");
    if (program == "terrarium") {
        terrarium::options chosen;
        const char *message = nullptr;
        int status = terrarium::parse_options(static_cast<int>(options.size()), options.data(), &chosen, &message);
        if (status != 0) {
            std::fputs(message, stderr);
            return status;
        }
        terrarium::apply_options(chosen);
        run = &terrarium::headless;
    }
    unsigned seed = static_cast<unsigned>(numbers[0].value);
    if (log_path != nullptr && !common::open_log(log_path, run->describe(), seed)) {
        std::fprintf(stderr, "simdump: cannot open '%s': %s\n", log_path, std::strerror(errno));
        return 1;
    }
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    int status = common::run_headless(*run, seed, static_cast<int>(numbers[1].value),
                                      static_cast<int>(numbers[2].value), numbers[3].value, stdout);
    if (!common::close_standard_output("simdump") && status == 0)
        status = 1;
    return status;
}

// simdump: runs terrarium or vivarium headless for a number of passes and
// prints the state of the world; with --log, writes the run's log as well.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/headless.h"
#include "common/streams.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"
#include "tools/cli.h"
#include "vivarium/rules.h"

namespace {

const char usage[] =
    "usage: simdump --program terrarium|vivarium --seed N --lines L --cols C --passes P"
    " [-s S] [-r R] [-g G] [--log FILE]\n";

struct arguments {
    std::string program;
    long seed = 0, lines = 0, cols = 0, passes = 0;
    std::string log_path;
    std::vector<std::string> terrarium_options;  // "-s", "1", ... as given
};

// terrarium's options go to terrarium's own reader, values unread.
void add_terrarium_option(CLI::App &app, const char *name, const char *help, arguments *chosen)
{
    app.add_option_function<std::string>(
           name, [chosen, name](const std::string &value) { chosen->terrarium_options.insert(
                                                                  chosen->terrarium_options.end(), {name, value}); },
           help)
        ->type_name("N");
}

void add_options(CLI::App &app, arguments *chosen)
{
    app.add_option("--program", chosen->program, "The program whose world runs")
        ->required()
        ->type_name("NAME")
        ->check(CLI::IsMember({"terrarium", "vivarium"}));
    tools::add_number(app, "--seed", &chosen->seed, 0, 4294967295L, "Seed of the random generator (0 to 4294967295)")
        ->required();
    tools::add_number(app, "--lines", &chosen->lines, 1, 10000, "Screen lines (1 to 10000)")->required();
    tools::add_number(app, "--cols", &chosen->cols, 1, 10000, "Screen columns (1 to 10000)")->required();
    tools::add_number(app, "--passes", &chosen->passes, 0, 1000000000L, "Passes to run (0 to 1000000000)")
        ->required();
    add_terrarium_option(app, "-s", "terrarium's world size, as terrarium reads it", chosen);
    add_terrarium_option(app, "-r", "terrarium's roughness, as terrarium reads it", chosen);
    add_terrarium_option(app, "-g", "terrarium's grid exponent, as terrarium reads it", chosen);
    app.add_option("--log", chosen->log_path, "Write the run's log to FILE")->type_name("FILE");
}

// The world to run, made with its options, and its rules; no world after
// a refusal in *status.
std::unique_ptr<common::world_base> chosen_world(const arguments &chosen, const common::rules **rules, int *status)
{
    if (chosen.program == "vivarium") {
        *rules = &vivarium::world_rules;
        if (chosen.terrarium_options.empty())
            return std::make_unique<vivarium::world>();
        *status = tools::refuse("simdump", "vivarium takes no -s, -r or -g", usage);
        return nullptr;
    }
    std::vector<const char *> argv{"terrarium"};
    for (const std::string &word : chosen.terrarium_options)
        argv.push_back(word.c_str());
    terrarium::options options;
    const char *message = nullptr;
    if (terrarium::parse_options(static_cast<int>(argv.size()), argv.data(), &options, &message) != 0) {
        *status = tools::refuse("simdump", std::string(message, std::strlen(message) - 1), usage);
        return nullptr;
    }
    *rules = &terrarium::world_rules;
    return std::make_unique<terrarium::world>(options);
}

}  // namespace

int main(int argc, char *argv[])
{
    common::open_standard_streams();
    CLI::App app{"Runs terrarium's or vivarium's world without a terminal and prints it.", "simdump"};
    tools::set_up(app);
    arguments chosen;
    add_options(app, &chosen);
    int status = tools::parse(app, argc, argv, usage);
    if (status >= 0)
        return common::close_standard_output("simdump") || status != 0 ? status : 1;
    const common::rules *rules = nullptr;
    std::unique_ptr<common::world_base> world = chosen_world(chosen, &rules, &status);
    if (world == nullptr)
        return status;
    unsigned seed = static_cast<unsigned>(chosen.seed);
    if (!chosen.log_path.empty() && !common::open_log(chosen.log_path.c_str(), rules->describe(*world), seed)) {
        std::fprintf(stderr, "simdump: cannot open '%s': %s\n", chosen.log_path.c_str(), std::strerror(errno));
        return 1;
    }
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    status = common::run_headless(*world, *rules, seed, static_cast<int>(chosen.lines), static_cast<int>(chosen.cols),
                                  chosen.passes, stdout);
    if (!common::close_standard_output("simdump") && status == 0)
        status = 1;
    return status;
}

// terrarium-lab: runs sweeps of headless worlds, each logged as the
// programs log a run, then summarises and plots the logs.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/streams.h"
#include "tools/cli.h"
#include "tools/lab/children.h"
#include "tools/lab/plot.h"
#include "tools/lab/saved.h"
#include "tools/lab/summary.h"
#include "tools/lab/sweep.h"

namespace {

const char usage[] =
    "usage: terrarium-lab --seeds A-B|A,B,... --passes P --out DIR [--program terrarium|vivarium]\n"
    "                     [--lines L] [--cols C] [-s S,...] [-r R,...] [-g G,...] [--jobs N] [--shard K/N]\n"
    "                     [--no-summary] [--add] [--lineage]\n"
    "       terrarium-lab --from FILE --seeds A-B|A,B,... --passes P --out DIR [--program terrarium|vivarium]\n"
    "                     [--jobs N] [--shard K/N] [--no-summary] [--add] [--lineage]\n"
    "       terrarium-lab summary DIR...\n"
    "       terrarium-lab plot LOG.csv...|DIR... [-o PICTURE.png|PICTURE.svg]\n"
    "       terrarium-lab inspect FILE\n"
    "       terrarium-lab [summary|plot|inspect] -h|--help, terrarium-lab --version\n";

// A picture's name: a path of PNG or SVG, not one that reads as a pipe,
// a redirection or an option, and without control characters.
std::string plain_picture_name(const std::string &name)
{
    std::string type = name.size() > 4 ? name.substr(name.size() - 4) : "";
    bool plain = (type == ".png" || type == ".svg") && name.find_first_of("|<>-", 0) != 0 &&
                 std::none_of(name.begin(), name.end(), [](char c) { return (c >= 0 && c < ' ') || c == 127; });
    return plain ? "" : "the picture's name must be a plain path ending in .png or .svg: " + name;
}

struct command_line {
    lab::sweep_arguments sweep;
    std::vector<std::string> summary_dirs, plot_inputs;
    std::string picture;
    std::string inspected;
};

void add_commands(CLI::App &app, command_line *given)
{
    app.require_subcommand(0, 1);
    lab::add_sweep_options(app, &given->sweep);
    CLI::App *summary = app.add_subcommand("summary", "Summarise the logs of sweeps' directories (shares merged)");
    summary->add_option("DIR", given->summary_dirs, "A sweep's directory; several are merged as one sweep's shares")
        ->required()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    CLI::App *plot = app.add_subcommand("plot", "Draw logs, or the mean population of sweeps' directories");
    plot->add_option("INPUT", given->plot_inputs, "Logs (LOG.csv...), or sweeps' directories, merged")
        ->required()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    plot->add_option("-o", given->picture, "Write the picture as PNG or SVG, by the name's extension")
        ->type_name("PICTURE")
        ->check(CLI::Validator([](std::string &name) { return plain_picture_name(name); }, ""));
    CLI::App *inspect = app.add_subcommand("inspect", "Show what a world file holds: its header and census");
    inspect->add_option("FILE", given->inspected, "A world saved by terrarium, vivarium or simdump")->required();
}

// What the standard output was given must have reached it.
int output_checked(int status)
{
    if (std::fclose(stdout) == 0)
        return status;
    std::fprintf(stderr, "terrarium-lab: cannot write the standard output: %s\n", std::strerror(errno));
    return status == 0 ? 1 : status;
}

int run_command(int argc, char *argv[])
{
    if (!common::open_standard_streams())
        return 1;
    CLI::App app{"Runs sweeps of terrarium's or vivarium's worlds without a terminal, each logged; summarises "
                 "and plots the logs.",
                 "terrarium-lab"};
    tools::set_up(app);
    command_line given;
    add_commands(app, &given);
    int status = tools::parse(app, argc, argv, usage);
    if (status >= 0)
        return status;
    if (app.got_subcommand("summary"))
        return lab::summarize(given.summary_dirs);
    if (app.got_subcommand("plot"))
        return lab::plot(given.plot_inputs, given.picture);
    if (app.got_subcommand("inspect"))
        return lab::inspect(given.inspected);
    lab::sweep sweep;
    std::string why;
    if (!lab::make_sweep(given.sweep, &sweep, &why))
        return tools::refuse("terrarium-lab", why, usage);
    if (sweep.branched && (status = lab::branch_from(given.sweep, &sweep, &why)) != 0) {
        if (status == tools::BAD_COMMAND_LINE)
            return tools::refuse("terrarium-lab", why, usage);
        lab::complain(why);
        return status;
    }
    return lab::run_sweep(sweep);
}

}  // namespace

int main(int argc, char *argv[]) { return output_checked(run_command(argc, argv)); }

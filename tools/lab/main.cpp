// terrarium-lab: runs sweeps of headless worlds, each logged as the
// programs log a run, then summarises and plots the logs.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/map.h"
#include "common/streams.h"
#include "tools/cli.h"
#include "tools/lab/children.h"
#include "tools/lab/genealogy.h"
#include "tools/lab/plot.h"
#include "tools/lab/render.h"
#include "tools/lab/saved.h"
#include "tools/lab/summary.h"
#include "tools/lab/sweep.h"

namespace {

const char usage[] =
    "usage: terrarium-lab --seeds A-B|A,B,... --passes P --out DIR [--program terrarium|vivarium]\n"
    "                     [--lines L] [--cols C] [-s S,...] [-r R,...] [-g G,...] [--jobs N] [--shard K/N]\n"
    "                     [--every N] [--no-summary] [--add] [--lineage]\n"
    "       terrarium-lab --from FILE --seeds A-B|A,B,... --passes P --out DIR [--program terrarium|vivarium]\n"
    "                     [--jobs N] [--shard K/N] [--every N] [--no-summary] [--add] [--lineage]\n"
    "       terrarium-lab summary DIR...|DIR/SETTING\n"
    "       terrarium-lab plot LOG.csv...|DIR... [-o PICTURE.png|PICTURE.svg] [--column NAME]\n"
    "       terrarium-lab plot GENES.csv... --gene NAME [-o PICTURE.png|PICTURE.svg]\n"
    "       terrarium-lab inspect FILE\n"
    "       terrarium-lab render FILE -o PICTURE.png|PICTURE.svg [--scale K] [--density [--block B]]\n"
    "       terrarium-lab tree GENEALOGY\n"
    "       terrarium-lab genes GENEALOGY|DIR [--step N] [-o FILE]\n"
    "       terrarium-lab [summary|plot|inspect|render|tree|genes] -h|--help, terrarium-lab --version\n";

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
    std::string picture, gene;
    std::string column = "population";
    std::string inspected;
    std::string rendered;
    lab::render_options render;
    std::string genealogy, genes_output;
    long step = 100;
};

void add_render(CLI::App &app, command_line *given)
{
    CLI::App *render = app.add_subcommand("render", "Draw a saved world: its map, or the density of its bugs");
    render->add_option("FILE", given->rendered, "A world saved by terrarium, vivarium or simdump")->required();
    render->add_option("-o", given->render.picture, "Write the picture as PNG or SVG, by the name's extension")
        ->type_name("PICTURE")
        ->required()
        ->check(CLI::Validator([](std::string &name) { return plain_picture_name(name); }, ""));
    tools::add_number(*render, "--scale", &given->render.scale, 1, 16, "Pixels on a cell's side (1 to 16)");
    render->add_flag("--density", given->render.density, "Draw the bugs per block as a heatmap over the terrain");
    tools::add_number(*render, "--block", &given->render.block, 1, common::MAP_SIDE_LIMIT,
                      "The heatmap's block, in cells on a side (default 10)");
}

void add_commands(CLI::App &app, command_line *given)
{
    app.require_subcommand(0, 1);
    lab::add_sweep_options(app, &given->sweep);
    CLI::App *summary = app.add_subcommand("summary", "Summarise the logs of sweeps' directories (shares merged)");
    summary->add_option("DIR", given->summary_dirs, "A sweep's directory (or one setting's); several are merged as one sweep's shares")
        ->required()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    CLI::App *plot = app.add_subcommand("plot", "Draw logs, or the mean population of sweeps' directories");
    plot->add_option("INPUT", given->plot_inputs, "Logs (LOG.csv...), or sweeps' directories, merged")
        ->required()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    plot->add_option("-o", given->picture, "Write the picture as PNG or SVG, by the name's extension")
        ->type_name("PICTURE")
        ->check(CLI::Validator([](std::string &name) { return plain_picture_name(name); }, ""));
    plot->add_option("--gene", given->gene, "Draw the mean of gene NAME per race from the CSVs of genes")
        ->type_name("NAME");
    CLI::App *tree = app.add_subcommand("tree", "Print the living bugs' ancestry in a genealogy as Newick");
    tree->add_option("GENEALOGY", given->genealogy, "A genealogy (.csv, or .csv.zst compressed)")->required();
    CLI::App *genes = app.add_subcommand("genes", "Write the living bugs' genes over time as CSV");
    genes->add_option("INPUT", given->genealogy, "A genealogy, or a directory of them, pooled")->required();
    tools::add_number(*genes, "--step", &given->step, 1, 1000000000, "Every N passes (default 100)");
    genes->add_option("-o", given->genes_output, "Write the CSV into FILE")->type_name("FILE");
    plot->add_option("--column", given->column, "The log's column to draw (default: population)")->type_name("NAME");
    CLI::App *inspect = app.add_subcommand("inspect", "Show what a world file holds: its header and census");
    inspect->add_option("FILE", given->inspected, "A world saved by terrarium, vivarium or simdump")->required();
    add_render(app, given);
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
        return lab::plot(given.plot_inputs, given.picture, given.column, given.gene);
    if (app.got_subcommand("tree"))
        return lab::tree(given.genealogy);
    if (app.got_subcommand("genes"))
        return lab::genes(given.genealogy, given.step, given.genes_output);
    if (app.got_subcommand("inspect"))
        return lab::inspect(given.inspected);
    if (app.got_subcommand("render"))
        return lab::render(given.rendered, given.render);
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

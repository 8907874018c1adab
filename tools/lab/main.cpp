// terrarium-lab: runs sweeps of headless worlds, each logged as the
// programs log a run, then summarises and plots the logs.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/streams.h"
#include "tools/lab/plot.h"
#include "tools/lab/summary.h"
#include "tools/lab/sweep.h"

namespace {

const char usage[] =
    "usage: terrarium-lab --seeds A-B|A,B,... --passes P --out DIR [--program terrarium|vivarium]\n"
    "                     [--lines L] [--cols C] [-s S,...] [-r R,...] [-g G,...] [--jobs N] [--no-summary] [--add]\n"
    "       terrarium-lab summary DIR\n"
    "       terrarium-lab plot LOG.csv...|DIR [-o PICTURE.png|PICTURE.svg]\n";

int refuse(const std::string &why)
{
    std::fprintf(stderr, "terrarium-lab: %s\n%s", why.c_str(), usage);
    return 2;
}

// A picture's name: a path of PNG or SVG, not one that reads as a pipe,
// a redirection or an option, and without control characters.
bool plain_picture_name(const std::string &name)
{
    std::string type = name.size() > 4 ? name.substr(name.size() - 4) : "";
    return (type == ".png" || type == ".svg") && name.find_first_of("|<>-", 0) != 0 &&
           std::none_of(name.begin(), name.end(), [](char c) { return (c >= 0 && c < ' ') || c == 127; });
}

int plot_command(int argc, char *argv[])
{
    std::vector<std::string> inputs;
    std::string output;
    for (int i = 0; i < argc; i++) {
        if (std::strcmp(argv[i], "-o") != 0)
            inputs.push_back(argv[i]);
        else if (i + 1 < argc)
            output = argv[++i];
        else
            return refuse("-o needs a file name");
    }
    if (inputs.empty())
        return refuse("plot needs logs or a sweep's directory");
    if (!output.empty() && !plain_picture_name(output))
        return refuse("the picture's name must be a plain path ending in .png or .svg: " + output);
    return lab::plot(inputs, output);
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
    common::open_standard_streams();
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "summary")
        return argc == 3 ? lab::summarize(argv[2]) : refuse("summary needs a sweep's directory");
    if (command == "plot")
        return plot_command(argc - 2, argv + 2);
    lab::sweep sweep;
    std::string why;
    if (!lab::parse_sweep(argc - 1, argv + 1, &sweep, &why))
        return refuse(why);
    return lab::run_sweep(sweep);
}

}  // namespace

int main(int argc, char *argv[]) { return output_checked(run_command(argc, argv)); }

// The tools' command lines, read by CLI11 under one set of rules: -h and
// --help for the tool and each command, --version, a repeated option's
// last value wins, every number read by read_number, and every bad command
// line refused with one line naming the argument, then the usage, and
// status 2.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "common/text.h"
#include "tools/read_number.h"

namespace tools {

constexpr int BAD_COMMAND_LINE = 2;

// A tool with --version; its options and commands' options keep the last
// value of an option given twice.
inline void set_up(CLI::App &app)
{
    app.set_version_flag("--version", app.get_name() + " " PROGRAM_VERSION, "Print the version and exit");
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

// An option taking a whole number within [low, high] (blanks and a sign may
// come before it, nothing after it) into *value.
inline CLI::Option *add_number(CLI::App &app, const std::string &name, long *value, long low, long high,
                               const std::string &help)
{
    auto read = [name, value, low, high](const std::string &text) {
        if (!read_number(text.c_str(), low, high, value))
            throw CLI::ValidationError("bad value for " + name + ": " + text, CLI::ExitCodes::ValidationError);
    };
    return app.add_option_function<std::string>(name, read, help)->type_name("N");
}

// A bad command line: a line naming it (the arguments in it printable()),
// the usage, status 2.
inline int refuse(const std::string &tool, const std::string &why, const char *usage)
{
    std::fprintf(stderr, "%s: %s\n%s", tool.c_str(), common::printable(why).c_str(), usage);
    return BAD_COMMAND_LINE;
}

// Reads the command line into the app's options. -1 to go on; otherwise
// the status to end with: 0 once --help or --version has been answered,
// or BAD_COMMAND_LINE after the refusal.
inline int parse(CLI::App &app, int argc, char *argv[], const char *usage)
{
    try {
        app.parse(argc, argv);
        return -1;
    } catch (const CLI::Success &answered) {
        return app.exit(answered);
    } catch (const CLI::ParseError &fault) {
        return refuse(app.get_name(), fault.what(), usage);
    }
}

}  // namespace tools

// Headless runs of either program, and the text dump of their state.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct dump_request {
    std::string program;             // "terrarium" or "vivarium"
    unsigned seed = 0;
    int lines = 24;
    int cols = 80;
    long passes = 0;
    std::vector<std::string> options; // -s/-r/-g and their values
};

// Runs the request and writes the dump to `out`; refusals and the message
// of a stop go to the standard error stream. Returns the exit status.
int run_dump(const dump_request &request, std::FILE *out);

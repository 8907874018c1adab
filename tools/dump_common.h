// Pieces of the headless runs that both programs' dumps share.
#pragma once

#include <cstdio>
#include <curses.h>
#include <string>

// What a stop looked like, thrown by the stop hook of a headless run.
struct stopped {
    int status;
    std::string message;
};

[[noreturn]] void throw_stop(int status, const char *message);

// Refusals end a run before there is a world to dump.
bool is_refusal(int status);

// The pad row by row, glyphs without attributes.
void dump_pad(std::FILE *out, WINDOW *pad, int rows, int cols);

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

// One program's part of a headless run.
struct headless_program {
    void (*forget)();               // frees the world and the status line
    void (*start)(unsigned seed);   // start-up as in the program, seeded
    // The main loop without terminal work up to the (passes + 1)-th pass
    // boundary; *done counts the boundaries begun (see common::run_passes).
    void (*run)(long passes, long *done);
    void (*dump)(std::FILE *out, long passes);
};

// Opens curses on a null terminal of the request's size, starts the world
// and runs the main loop as with no key ever pressed, up to the (passes
// + 1)-th arrival at a pass boundary, before any of its work; then dumps
// the state. A stop dumps the state as it stands and `stopped`; a refusal
// only prints its message. Returns the exit status.
int run_headless(const headless_program &program, unsigned seed, int lines, int cols, long passes,
                 std::FILE *out);

// The pad row by row, glyphs without attributes.
void dump_pad(std::FILE *out, WINDOW *pad, int rows, int cols);

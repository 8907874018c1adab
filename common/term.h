// The terminal: opening curses on the user's terminal or on a null device,
// giving it back on every way out (orderly end, refusal, signal, crash),
// and the sleeps, which tests may replace.
#pragma once

#include <curses.h>
#include <unistd.h>

// Exit statuses of refusals and failures once curses may be running.
enum exit_status {
    EXIT_BAD_TERRAIN = 7,
    EXIT_WORLD_TOO_SMALL = 8,
    EXIT_WORLD_TOO_LARGE = 9,
    EXIT_LOST_BUG = 10,
    EXIT_NO_TERMINAL = 11,
};

// Opens curses on the controlling terminal (standard input and output) and
// installs the signal handlers that restore it. Refuses, with a one-line
// message and EXIT_NO_TERMINAL, when standard input is not a terminal or
// the terminal cannot be opened. `program` names the program in messages.
void open_terminal(const char *program);

// Whether the terminal's size changed since the last call. The screen
// keeps its size from start-up; a change only calls for a full repaint.
bool take_size_change();

// Opens curses on /dev/null with a screen of `lines` x `cols`, for headless
// runs; a second call replaces the screen of the first. Returns false when
// curses cannot be started.
bool open_null_terminal(int lines, int cols);

// Observer called first by leave(); it must not return (it throws or exits).
// Tests and tools use it to see a stop, with the pad still intact.
extern void (*stop_hook)(int status, const char *message);

// The single way out once curses runs: calls stop_hook, deletes `pad` (if
// any), restores the keyboard and the terminal, closes curses, prints
// `message` (if any) on the standard error stream, where the user can see
// it, and exits with `status`.
[[noreturn]] void leave(int status, const char *message, WINDOW *pad);

// Sleeps of the popups and the main loop; tests replace them.
extern void (*sleep_seconds)(unsigned seconds);
extern void (*sleep_micros)(useconds_t micros);

// The exit statuses of both programs, and the one way to stop with a
// message, for the rules and the terminal alike. Nothing here knows the
// terminal or the world: the modules that must do something on the way
// out register it.
#pragma once

#include <string>

namespace common {

// Every status but 0 (the quit key, a run that ended by itself, an answer
// to -h or --version) and death by a signal.
enum exit_status {
    EXIT_TOO_MANY_ARGS = 2,
    EXIT_BAD_WORLD_SIZE = 3,
    EXIT_BAD_ARGS = 4,
    EXIT_BAD_ROUGHNESS = 5,
    EXIT_BAD_GRID_SIZE = 6,
    EXIT_BAD_TERRAIN = 7,
    EXIT_WORLD_TOO_SMALL = 8,
    EXIT_WORLD_TOO_LARGE = 9,
    EXIT_LOST_BUG = 10,
    EXIT_NO_TERMINAL = 11,
    EXIT_BAD_ENVIRONMENT = 12,
    EXIT_BAD_WORLD_FILE = 13,
};

// Names the function that every way out calls before the process ends:
// stop_with with the exit status, a fatal signal with 128 + its number and
// `in_signal_handler` true, when only async-signal-safe work may be done
// (and `complaint` is null). The run's log finishes there. It returns the
// status to exit with: the one given, or another when its own work
// failed, with a line for the user added to `complaint`, printed once the
// terminal is given back. Returns the function named before, if any, for
// the new one to call in turn.
using last_words_function = int (*)(int status, bool in_signal_handler, std::string *complaint);
last_words_function at_way_out(last_words_function last_words);

// Calls the function of at_way_out, if any; returns the status to exit
// with.
int say_last_words(int status, bool in_signal_handler, std::string *complaint);

// Names the function that gives the user's terminal back on a stop, after
// the last words and before the message is printed.
void at_stop_restore(void (*restore)());

// The single way out: tells hooks.stop (a headless run throws there, so
// that a stop ends only the run), then the last words, gives the terminal
// back, prints `message` (if any) and the last words' complaint on the
// standard error stream, where the user sees them, and exits with the
// status the last words returned (`status` when there are none).
[[noreturn]] void stop_with(int status, const char *message);

// The orderly end: status 0, no message.
[[noreturn]] void stop();

// The end on a signal that was put off until the world was whole: the
// last words as for an orderly end (told 128 + sig), the terminal given
// back, the complaint printed, then death by the signal itself.
[[noreturn]] void stop_by_signal(int sig);

}  // namespace common

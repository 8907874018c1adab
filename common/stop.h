// The one way for a program to stop with a message: its refusals, the
// quit key and the end of its world's run. Nothing here knows the
// terminal or the world: the modules that must do something on the way
// out register it. Not for the rules, which end a world, not the process
// (see outcome.h).
#pragma once

#include <string>

#include "common/outcome.h"

namespace common {

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

// The single way out: the last words, the terminal given back, then
// `message` (if any) and the last words' complaint printed on the standard
// error stream, where the user sees them; exits with the status the last
// words returned (`status` when there are none).
[[noreturn]] void stop_with(int status, const char *message);

// The orderly end: status 0, no message.
[[noreturn]] void stop();

// The end on a signal that was put off until the world was whole: the
// last words as for an orderly end (told 128 + sig), the terminal given
// back, the complaint printed, then death by the signal itself.
[[noreturn]] void stop_by_signal(int sig);

}  // namespace common

// The one way for a program to stop with a message: its refusals, the
// quit key and the end of its world's run. What must be done on the way
// out is put in the slots of `way_out`. Not for the rules, which end a
// world, not the process (see outcome.h).
#pragma once

#include <string>

#include "common/outcome.h"
#include "common/way_out.h"

namespace common {

// The handler of the fatal signals: leave, then death by the signal itself.
extern "C" void leave_on_fatal_signal(int sig);

// The single way out: leaves, prints `message` (if any) and the last
// words' complaint on the standard error stream, where the user sees
// them, and exits with the status `leave` returned.
[[noreturn]] void stop_with(int status, const char *message);

// The orderly end: status 0, no message.
[[noreturn]] void stop();

// The end on a signal that was put off until the world was whole: leaves
// as an orderly end does (told 128 + sig), prints the complaint, then
// dies of the signal itself.
[[noreturn]] void stop_by_signal(int sig);

}  // namespace common

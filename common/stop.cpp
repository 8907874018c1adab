#include "common/stop.h"

#include <cstdio>
#include <cstdlib>

#include "common/hooks.h"

namespace common {

namespace {

// Read by the fatal-signal handler: set once at start-up.
void (*last_words)(int status, bool in_signal_handler) = nullptr;
void (*restore_terminal)() = nullptr;

}  // namespace

void at_way_out(void (*function)(int status, bool in_signal_handler)) { last_words = function; }

void say_last_words(int status, bool in_signal_handler)
{
    if (last_words != nullptr)
        last_words(status, in_signal_handler);
}

void at_stop_restore(void (*restore)()) { restore_terminal = restore; }

void stop_with(int status, const char *message)
{
    if (hooks.stop)
        hooks.stop(status, message);
    say_last_words(status, false);
    if (restore_terminal != nullptr)
        restore_terminal();
    if (message != nullptr)
        std::fputs(message, stderr);
    std::exit(status);
}

void stop() { stop_with(0, nullptr); }

}  // namespace common

#include "common/stop.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "common/hooks.h"

namespace common {

namespace {

// A signal (a change of the terminal's size) cuts a sleep short; the rest
// of the popup's time is slept all the same.
void sleep_whole_seconds(unsigned s)
{
    while (s > 0)
        s = sleep(s);
}

void sleep_microseconds(useconds_t us) { usleep(us); }

void *allocate_bytes(std::size_t bytes) { return std::malloc(bytes); }

// Read by the fatal-signal handler: set once at start-up.
void (*last_words)(int status, bool in_signal_handler) = nullptr;
void (*restore_terminal)() = nullptr;

}  // namespace

const hook_set default_hooks = {nullptr, sleep_whole_seconds, sleep_microseconds, nullptr, allocate_bytes};
hook_set hooks = default_hooks;

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

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

// What every way out calls, the fatal-signal handler too: set once at
// start-up.
struct way_out {
    int (*last_words)(int status, bool in_signal_handler, std::string *complaint) = nullptr;
    void (*restore_terminal)() = nullptr;
} registered;

}  // namespace

const hook_set default_hooks = {nullptr, sleep_whole_seconds, sleep_microseconds, nullptr, allocate_bytes};
hook_set hooks = default_hooks;

void at_way_out(int (*function)(int status, bool in_signal_handler, std::string *complaint))
{
    registered.last_words = function;
}

int say_last_words(int status, bool in_signal_handler, std::string *complaint)
{
    if (registered.last_words == nullptr)
        return status;
    return registered.last_words(status, in_signal_handler, complaint);
}

void at_stop_restore(void (*restore)()) { registered.restore_terminal = restore; }

void stop_with(int status, const char *message)
{
    if (hooks.stop)
        hooks.stop(status, message);
    std::string complaint;
    status = say_last_words(status, false, &complaint);
    if (registered.restore_terminal != nullptr)
        registered.restore_terminal();
    if (message != nullptr)
        std::fputs(message, stderr);
    std::fputs(complaint.c_str(), stderr);
    std::exit(status);
}

void stop() { stop_with(0, nullptr); }

}  // namespace common

#include "common/stop.h"

#include <cstdio>
#include <cstdlib>

#include "common/signals.h"

namespace common {

namespace {

// What every way out calls, the fatal-signal handler too: set once at
// start-up.
struct way_out {
    int (*last_words)(int status, bool in_signal_handler, std::string *complaint) = nullptr;
    void (*restore_terminal)() = nullptr;
} registered;

}  // namespace

last_words_function at_way_out(last_words_function function)
{
    last_words_function before = registered.last_words;
    registered.last_words = function;
    return before;
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

void stop_by_signal(int sig)
{
    std::string complaint;
    say_last_words(128 + sig, false, &complaint);
    if (registered.restore_terminal != nullptr)
        registered.restore_terminal();
    std::fputs(complaint.c_str(), stderr);
    std::fflush(stderr);
    die_of(sig);
}

}  // namespace common

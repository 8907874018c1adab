#include "common/stop.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "common/hooks.h"
#include "common/signals.h"

namespace common {

namespace {

// Sleeps in slices, so that a signal put off, waiting to be acted on,
// ends the sleep within a slice. A signal (a change of the terminal's
// size) cuts a slice short; the rest is slept all the same, unless
// `until_signal`.
void sleep_nanoseconds(long long left, bool until_signal)
{
    while (left > 0 && deferred_signal() == 0) {
        long slice = static_cast<long>(left < 250000000 ? left : 250000000);
        timespec want{0, slice}, rest{0, 0};
        if (nanosleep(&want, &rest) != 0) {
            if (until_signal)
                return;
            slice -= rest.tv_nsec;
        }
        left -= slice;
    }
}

// A popup's time is whole whatever the signals.
void sleep_whole_seconds(unsigned s) { sleep_nanoseconds(s * 1000000000LL, false); }

void sleep_microseconds(useconds_t us) { sleep_nanoseconds(us * 1000LL, true); }

void *allocate_bytes(std::size_t bytes) { return std::malloc(bytes); }

}  // namespace

const hook_set default_hooks = {nullptr, sleep_whole_seconds, sleep_microseconds, nullptr, allocate_bytes};
hook_set hooks = default_hooks;

way_out_slots way_out;

int leave(int status, bool in_signal_handler, std::string *complaint)
{
    if (!in_signal_handler && way_out.saves != nullptr)
        status = way_out.saves->say(status, complaint);
    if (way_out.log != nullptr) {
        if (in_signal_handler)
            way_out.log->say_in_signal_handler(status);
        else
            status = way_out.log->say(status, complaint);
    }
    if (way_out.give_back_terminal != nullptr)
        way_out.give_back_terminal(in_signal_handler);
    return status;
}

void leave_on_fatal_signal(int sig)
{
    leave(128 + sig, true, nullptr);
    die_of(sig);
}

void stop_with(int status, const char *message)
{
    if (hooks.stop)
        hooks.stop(status, message);
    std::string complaint;
    status = leave(status, false, &complaint);
    if (message != nullptr)
        std::fputs(message, stderr);
    std::fputs(complaint.c_str(), stderr);
    std::exit(status);
}

void stop() { stop_with(0, nullptr); }

void stop_by_signal(int sig)
{
    std::string complaint;
    leave(128 + sig, false, &complaint);
    std::fputs(complaint.c_str(), stderr);
    std::fflush(stderr);
    die_of(sig);
}

}  // namespace common

#include "common/hooks.h"

#include <cstdlib>
#include <ctime>

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

const hook_set default_hooks = {sleep_whole_seconds, sleep_microseconds, nullptr, allocate_bytes};
hook_set hooks = default_hooks;

}  // namespace common

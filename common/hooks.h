// The replaceable seams of both programs, in one place: tests, benchmarks
// and headless runs put their own functions here; the programs run with
// the defaults.
#pragma once

#include <cstddef>
#include <unistd.h>

namespace common {

struct hook_set {
    // The whole-second sleeps of popups and the viewer, and the per-pass
    // and idle sleeps of the main loop.
    void (*sleep_seconds)(unsigned seconds);
    void (*sleep_micros)(useconds_t micros);
    // Told of every popup as it is shown (its text and seconds).
    void (*popup)(const char *text, int seconds);
    // Where bug records come from; null means none could be had.
    void *(*allocate)(std::size_t bytes);
};

extern hook_set hooks;

// The defaults, for putting them back.
extern const hook_set default_hooks;

}  // namespace common

#include "tests/support/headless.h"

#include <gtest/gtest.h>

#include "common/loop.h"
#include "common/term.h"

void headless_screen(int lines, int cols)
{
    // Windows die with their screen: let go of the status line first.
    common::leave_loop();
    ASSERT_TRUE(open_null_terminal(lines, cols));
    catch_stops();
    no_sleeping();
}

namespace {

[[noreturn]] void throw_stop_seen(int status, const char *message)
{
    throw stop_seen{status, message ? message : ""};
}

sleep_log slept;

}  // namespace

void catch_stops() { stop_hook = throw_stop_seen; }

sleep_log &no_sleeping()
{
    sleep_seconds = [](unsigned s) { slept.seconds += s; };
    sleep_micros = [](useconds_t us) { slept.micros += us; };
    return slept;
}

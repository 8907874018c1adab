#include "screen/stop.h"

#include <cstdio>
#include <cstdlib>

#include "common/signals.h"

namespace common {

void leave_on_fatal_signal(int sig)
{
    leave(128 + sig, true, nullptr);
    die_of(sig);
}

void stop_with(int status, const char *message)
{
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

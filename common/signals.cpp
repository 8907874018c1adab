#include "common/signals.h"

#include <cerrno>
#include <ctime>
#include <unistd.h>

namespace common {

namespace {

// Set by the handler of a signal put off; read at the program's safe points.
volatile sig_atomic_t put_off = 0;

extern "C" void note_signal(int sig) { put_off = sig; }

}  // namespace

sigset_t ending_signals()
{
    static const int listed[] = {SIGTERM, SIGHUP,  SIGINT,  SIGQUIT, SIGSEGV, SIGABRT, SIGBUS,    SIGFPE,
                                 SIGILL,  SIGTRAP, SIGSYS,  SIGPIPE, SIGXFSZ, SIGXCPU, SIGUSR1,   SIGUSR2,
                                 SIGALRM, SIGVTALRM, SIGPROF, SIGIO,
#ifdef SIGPWR
                                 SIGPWR,
#endif
#ifdef SIGSTKFLT
                                 SIGSTKFLT,
#endif
    };
    sigset_t set;
    sigemptyset(&set);
    for (int sig : listed)
        sigaddset(&set, sig);
    // Numbered at run time: the C library keeps some for itself.
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; sig++)
        sigaddset(&set, sig);
    return set;
}

void catch_ending_signals(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_mask = ending_signals();
    for_each_ending_signal([&](int sig) { sigaction(sig, &action, nullptr); });
}

void take_back_signal_of(int error)
{
    int sig = error == EPIPE ? SIGPIPE : error == EFBIG ? SIGXFSZ : 0;
    if (sig == 0)
        return;
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, sig);
    timespec now{};
    sigtimedwait(&just_this, nullptr, &now);
}

void defer_hangup_and_terminate()
{
    struct sigaction action {};
    action.sa_handler = note_signal;
    action.sa_mask = ending_signals();
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int deferred_signal() { return put_off; }

}  // namespace common

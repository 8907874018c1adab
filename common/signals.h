// The signals whose default action ends the process, for the programs and
// the tools that must tidy up before such an end: what they catch, and how
// a handler then dies of the signal itself.
#pragma once

#include <csignal>
#include <unistd.h>

namespace common {

// Every signal whose default action ends the process and that can be
// caught, the real-time ones included.
sigset_t ending_signals();

// Calls handler(sig) for each of them.
template <class Handler>
void for_each_ending_signal(Handler handler)
{
    sigset_t set = ending_signals();
    for (int sig = 1; sig <= SIGRTMAX; sig++)
        if (sigismember(&set, sig) == 1)
            handler(sig);
}

// Catches each of them with `handler`, holding all of them while it runs.
void catch_ending_signals(void (*handler)(int));

// Dies of `sig`, so that a parent sees the signal and a crash leaves its
// core dump: the default action back, the signal unblocked and raised
// again; should the process outlive that, it exits with 128 + sig, as a
// shell reports a death by signal. Async-signal-safe. Inline, so that
// only the programs' and the tools' handlers that call it end the
// process, never the libraries that run worlds.
[[noreturn]] inline void die_of(int sig)
{
    signal(sig, SIG_DFL);
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, sig);
    sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
    raise(sig);
    _exit(128 + sig);
}

// A write to a pipe without a reader, or past the file size limit, also
// raises a signal that would end the process: when that signal was held
// while the write failed with `error`, it is taken back here, so that the
// failure ends only the work of the write. Async-signal-safe in effect:
// one system call.
void take_back_signal_of(int error);

// Puts off SIGHUP and SIGTERM: their handler only notes the signal, and
// the program acts on it at its next safe point, where the world is whole.
// Without SA_RESTART, so that a read waiting for a key ends at once.
void defer_hangup_and_terminate();

// The signal put off (the last one), or 0. Async-signal-safe.
int deferred_signal();

}  // namespace common

// The exit statuses of both programs, and the one way to stop with a
// message, for the rules and the terminal alike. Nothing here knows the
// terminal or the world: what must be done on the way out is put in the
// slots of `way_out`.
#pragma once

#include <string>

namespace common {

// Every status but 0 (the quit key, a run that ended by itself, an answer
// to -h or --version) and death by a signal.
enum exit_status {
    EXIT_TOO_MANY_ARGS = 2,
    EXIT_BAD_WORLD_SIZE = 3,
    EXIT_BAD_ARGS = 4,
    EXIT_BAD_ROUGHNESS = 5,
    EXIT_BAD_GRID_SIZE = 6,
    EXIT_BAD_TERRAIN = 7,
    EXIT_WORLD_TOO_SMALL = 8,
    EXIT_WORLD_TOO_LARGE = 9,
    EXIT_LOST_BUG = 10,
    EXIT_NO_TERMINAL = 11,
    EXIT_BAD_ENVIRONMENT = 12,
    EXIT_BAD_WORLD_FILE = 13,
};

// What a way out of the process finishes for the current session (its
// saves, its log), told by `leave`.
class last_words {
public:
    // The orderly way out, ending with `status`: returns the status to exit
    // with, the one given or another when its own work failed, with a line
    // for the user added to `complaint`, printed once the terminal is given
    // back.
    virtual int say(int status, std::string *complaint) = 0;
    // The way out of a fatal signal (told 128 + its number), inside its
    // handler: only async-signal-safe work.
    virtual void say_in_signal_handler(int status) = 0;

protected:
    ~last_words() = default;
};

// The current session's way out: the one record of it in the process, as
// every way out and the fatal signals' handler need it. Each slot is
// filled by its owner and emptied when the owner goes.
struct way_out_slots {
    last_words *saves = nullptr;  // the session's saves; never in a signal handler
    last_words *log = nullptr;    // the run's log
    void (*give_back_terminal)(bool in_signal_handler) = nullptr;
};
extern way_out_slots way_out;

// Every way out in one order: the saves (not inside a signal handler),
// then the log, then the terminal given back. Returns the status to exit
// with; `complaint` is null inside a signal handler.
int leave(int status, bool in_signal_handler, std::string *complaint);

// The handler of the fatal signals: leave, then death by the signal itself.
extern "C" void leave_on_fatal_signal(int sig);

// The single way out: tells hooks.stop (a headless run throws there, so
// that a stop ends only the run), then leaves, prints `message` (if any)
// and the last words' complaint on the standard error stream, where the
// user sees them, and exits with the status `leave` returned.
[[noreturn]] void stop_with(int status, const char *message);

// The orderly end: status 0, no message.
[[noreturn]] void stop();

// The end on a signal that was put off until the world was whole: leaves
// as an orderly end does (told 128 + sig), prints the complaint, then
// dies of the signal itself.
[[noreturn]] void stop_by_signal(int sig);

}  // namespace common

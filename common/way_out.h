// The one record of the current session's way out, in the process: what
// every way out, and the fatal signals' handler, finish for it (its saves,
// its log, the terminal), in one order. Ending the process is not done
// here: the programs do it (stop.h), the rules never do.
#pragma once

#include <string>

namespace common {

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
    last_words *lineage = nullptr;  // the run's genealogy, finished after its log
};
extern way_out_slots way_out;

// Every way out in one order: the saves (not inside a signal handler),
// then the log and the genealogy, then the terminal given back. Returns the status to exit
// with; `complaint` is null inside a signal handler.
int leave(int status, bool in_signal_handler, std::string *complaint);

}  // namespace common

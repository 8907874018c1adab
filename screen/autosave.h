// Saving the world of an interactive session: on demand (Ctrl-S), every
// so many seconds, and at the end of the run, to the file that
// PROGRAM_SAVE names. Saves during the run are written by a child process
// from its copy of the parent's memory, so that the display never waits
// for the disk; the end's save is written in the foreground. A save that
// fails leaves the old file as it was and never ends the run.
#pragma once

#include <string>
#include <sys/types.h>

#include "common/rules.h"
#include "screen/stop.h"
#include "storage/world_file.h"

namespace common {

struct session;

// What the environment asks for: PROGRAM_SAVE and PROGRAM_SAVE_EVERY.
struct save_settings {
    std::string path;     // the file of the periodic and final saves; empty: only the key saves
    double every = 300;   // seconds between periodic saves
};

// Reads the settings for `program` ("terrarium"). False, with one line in
// *why, for an empty PROGRAM_SAVE or a PROGRAM_SAVE_EVERY that is not a
// positive decimal number of seconds ("0.5", "300").
bool read_save_settings(const char *program, save_settings *settings, std::string *why);

// A save being written by a child process.
struct background_save {
    pid_t child = -1;       // -1 when none is under way
    int report = -1;        // the read end of the child's pipe, for its line of why
    std::string path;
    std::string temporary;  // the file the child writes: removed should it fail
};

// Begins a save of `w` to `path` (replacing the file there, if any, when
// `replace`), then forks the child that writes it and returns at once.
// The child draws nothing, flushes no stream, dies of the signals by
// their default actions and leaves by _exit. False, with one line in
// *why, when the save cannot be begun or no child could be had.
bool start_background_save(background_save *save, const std::string &path, const world_base &w, const rules &r,
                           const run_state &run, std::string *why, bool replace = true);

enum class save_outcome { under_way, saved, failed };

// How the save under way, if any, went, waiting for its end when `wait`;
// a failure with its line in *why. Unless still under way, it is over.
save_outcome collect_background_save(background_save *save, bool wait, std::string *why);

// Ends the save under way, if any: its child killed and waited for, and
// the temporary file it was writing removed.
void cancel_background_save(background_save *save);

// A name in the current directory for a save on demand without
// PROGRAM_SAVE, "program-PASSES.world", or with "-2", "-3" ... before
// ".world" when taken. Nothing is made there: the save gives the name to
// its file only once it is whole, and never over a file that came there
// meanwhile. False, with one line in *why, when no name is free.
bool free_file_name(const char *program, long passes, std::string *path, std::string *why);

// The saves of one session. Its settings are read when it is made,
// before the screen opens: a bad one ends the program with
// EXIT_BAD_ENVIRONMENT and one line.
class autosave : public last_words {
public:
    explicit autosave(const char *program);
    ~autosave();
    autosave(const autosave &) = delete;
    autosave &operator=(const autosave &) = delete;

    // From the start of the loop: the periodic clock runs; with a file to
    // save to, SIGHUP and SIGTERM are put off until a safe point, and
    // every orderly way out saves the world first (see way_out).
    void begin(session &s);

    // Where the world is whole, between turns or at the keys: a signal put
    // off ends the program (the world saved, then death by the signal); a
    // save that has ended is told on the screen; a periodic one that is
    // due is begun, unless one is still under way.
    void at_safe_point(session &s);

    // Ctrl-S: a save begun to PROGRAM_SAVE, or else to a new file.
    void save_now(session &s);

    // The end's save, waiting for or ending the save under way first; what
    // failed, for the user, added to *complaint.
    void save_at_end(std::string *complaint);

    // On every orderly way out: the end's save; the status stays.
    int say(int status, std::string *complaint) override;
    // A save cannot be written inside a signal handler: none.
    void say_in_signal_handler(int) override {}

private:
    void told(session &s, save_outcome outcome, const std::string &why);
    void failed(session &s, const std::string &why, bool asked);
    run_state state_of(const session &s) const;

    const char *program_;
    save_settings settings_;
    background_save under_way_;
    bool asked_ = false;       // the save under way was asked for with the key
    double next_due_ = 0;      // on the monotonic clock, in seconds
    std::string failure_;      // the last failure not made good by a later save
    session *session_ = nullptr;
};

}  // namespace common

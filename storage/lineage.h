// The genealogy of a run as a CSV file: a few comment lines that say what
// the run was, a header row, then one row per event: each founder (the
// living bugs when the run began or was resumed), each birth with its
// parent, partner and genes as born, each death with its cause and killer.
// A name ending in ".zst" is written zstd-compressed as it goes.
//
// Rows are gathered in a buffer and reach the file a whole line at a time;
// a fatal signal writes whatever whole lines the buffer holds of a plain
// file (a compressed one loses them).
#pragma once

#include <csignal>
#include <string>

#include "common/census.h"
#include "common/observer.h"
#include "common/way_out.h"
#include "storage/run_file.h"

struct ZSTD_CCtx_s;

namespace common {

struct world_base;

class lineage : public run_file, public observer, public last_words {
public:
    lineage() = default;
    ~lineage() override;
    lineage(const lineage &) = delete;
    lineage &operator=(const lineage &) = delete;

    // Creates (or empties) the file at `path` for the genealogy of a run
    // seeded with `seed`; `who` speaks of it in complaints. False, with
    // errno set, when it cannot be opened.
    bool open(const char *path, const run_description &run, unsigned seed, const std::string &who = "");

    // Watches `w` from now on; its living bugs, at the first event or the
    // end, are the founders.
    void watch(world_base &w);

    void at_pass_boundary(const world_base &w) override;
    void born(const world_base &w, const bug_seen &child, const bug_seen &parent, const bug_seen *partner) override;
    void died(const world_base &w, const bug_seen &bug, death_cause cause, const bug_seen *by) override;

    // Ends the file and stops watching: 0, or the errno of a write that
    // failed (which ended the file there).
    int finish();
    // finish for a run ending with `status`: the status to exit with,
    // EXIT_BAD_ENVIRONMENT instead of 0 when the file could not be written
    // whole, after adding "WHO: cannot write 'FILE': reason" to `complaint`.
    int end(int status, std::string *complaint);

    int say(int status, std::string *complaint) override { return end(status, complaint); }
    void say_in_signal_handler(int status) override;

private:
    void founders(const world_base &w);
    void row(long passes, const char *event, const bug_seen &b, const bug_seen *parent, const bug_seen *partner,
             const char *cause, const bug_seen *by);
    void write_header(const world_base &w);
    void put(const char *bytes, size_t length);
    void flush(bool last);
    void unwatch();

    ZSTD_CCtx_s *zstd_ = nullptr;  // when the file is compressed
    std::string pending_;         // whole lines not yet written
    volatile sig_atomic_t committed_ = 0;  // bytes of pending_ a signal handler may write
    run_description described_{};
    unsigned seed_ = 0;
    bool begun_ = false;          // the header and founders written
    world_base *watched_ = nullptr;
};

}  // namespace common

// The history of a run as a CSV file, for plots and spreadsheets: a few
// comment lines that say what the run was, a header row, a row for the
// start and one after every pass (or every N-th) with the population, its
// averages and one count per race, a row for the world as the run ended,
// and a last comment line that says how it ended. The file is written at
// every ageing pass.
//
// Rows are made in a fixed buffer and reach the file with write(2) at once;
// a fatal signal writes from its handler whatever whole lines the buffer
// holds, so the file always ends on a whole line.
#pragma once

#include <csignal>
#include <cstddef>
#include <string>

#include "common/census.h"

#include "common/observer.h"
#include "common/way_out.h"
#include "storage/run_file.h"

namespace common {

struct world_base;

// Where a resumed run began, as its log says it: "'FILE' at pass N", the
// name printable() so that it stays on its line.
std::string resumed_from(const std::string &path, long passes);

// The comment lines that begin the files a run writes about itself (its
// log, its genealogy), each ending in a line break: the program and its
// version, the seed (or the world file it was resumed from), the world
// file a branched run was copied from, the screen, the world and the
// options. Sizes not known yet (no world, or before the screen opens) are 0.
std::string provenance_lines(const run_description &run, unsigned seed, const world_base *w);

// The log of one run: an observer of its world, told of every pass
// boundary, and the run's last words on a way out of the process (see
// way_out). Each run has its own, so that worlds side by side in one
// process each write theirs.
class run_log : public run_file, public observer, public last_words {
public:
    using census_function = void (*)(const world_base &, census *);

    run_log() = default;
    ~run_log() override;
    run_log(const run_log &) = delete;
    run_log &operator=(const run_log &) = delete;

    // Creates (or empties) the file at `path` for the log of a run seeded
    // with `seed`; nothing is written before the first row or the end.
    // `who` speaks of the log in complaints ("terrarium: TERRARIUM_LOG"),
    // the program when empty. False, with errno set, when it cannot be
    // opened.
    bool open(const char *path, const run_description &run, unsigned seed, const std::string &who = "");

    // Rows of every `passes`-th pass only (1, the default: every pass),
    // the first and last rows always. Set after open.
    void thin_to(long passes) { every_ = passes; }

    // Watches `w` from now on, up to the end: told of its pass boundaries,
    // the first lines take its screen's and map's sizes from it (as far as
    // they are known when they are written). The world must outlive the
    // watch.
    void watch(world_base &w);

    // Where the figures of the world come from, from the start of the
    // loop: a run that ends before its first pass boundary logs the world
    // as seeded.
    void census_from(census_function take) { take_census_ = take; }

    // Makes the row of the world, and after an ageing pass writes the rows
    // made so far to the file.
    void at_pass_boundary(const world_base &w) override;

    // Ends the log: the world as the run ended, in the pass under way (when
    // rows were begun and it changed since the last; pass 0 when none
    // were), the line "# end: status N" and the close; the world is
    // watched no more. Inside a signal handler only the rows already made
    // and the end line are written, with async-signal-safe calls only. A
    // write that fails (a full disk, a pipe without a reader, the file
    // size limit) ends the log there, without a signal: returns its errno,
    // or 0 when every byte was written or no log was open.
    int finish(int status, bool in_signal_handler);

    // finish outside a signal handler, for a run ending with `status`:
    // returns the status to exit with, which is EXIT_BAD_ENVIRONMENT
    // instead of 0 when the log could not be written whole, after adding a
    // line to `complaint`: "WHO: cannot write 'FILE': reason".
    int end(int status, std::string *complaint);

    int say(int status, std::string *complaint) override { return end(status, complaint); }
    void say_in_signal_handler(int status) override { finish(status, true); }

private:
    // The header and many rows fit; the longest row has 36 numbers.
    static constexpr size_t CAPACITY = 1 << 16;

    void flush();
    char *room(size_t bytes);
    void commit(const char *end);
    void put_text(const std::string &text);
    void write_header();
    void write_row(long passes, const census &c);
    void write_end_line(int status);
    census taken() const;
    void unwatch();

    // Only whole lines lie below `committed_`: that is all a signal handler
    // writes, whatever the interrupted code was doing above it.
    char pending_[CAPACITY];
    volatile sig_atomic_t committed_ = 0;
    run_description described_;
    unsigned seed_ = 0;
    bool header_written_ = false;
    bool row_begun_ = false;                // a pass boundary has made a row
    census_function take_census_ = nullptr;  // set when the loop begins
    world_base *logged_ = nullptr;           // the world watched
    long passes_done_ = 0;                   // as of the last pass boundary
    census last_row_{};                      // the figures of the last pass boundary
    long every_ = 1;                         // rows of every every_-th pass
    bool last_row_written_ = true;           // whether the last pass boundary's row was written
};

}  // namespace common

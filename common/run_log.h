// The history of a run as a CSV file, for plots and spreadsheets: a few
// comment lines that say what the run was, a header row, a row for the
// start and one after every pass with the population, its averages and
// one count per race, a row for the world as the run ended, and a last
// comment line that says how it ended. The file is written at every
// ageing pass.
//
// Rows are made in a fixed buffer and reach the file with write(2) at once;
// a fatal signal writes from its handler whatever whole lines the buffer
// holds, so the file always ends on a whole line.
#pragma once

#include <string>

namespace common {

struct world_base;

// What every bug of the world adds up to, for one row.
struct census {
    long population;
    int races;                      // races with a living bug
    long long food, age, gen, size; // averages over every bug, truncated
    long long vision;               // terrarium only
    int letters[26];                // bugs of races 'A' to 'Z'
    int others;                     // bugs of any other race byte
};

// What the first lines of a log say of a run, besides its seed and sizes.
struct run_description {
    const char *program;
    std::string options;  // as a command line gives them; empty for none
    bool vision;          // whether the rows have a vision column
    std::string resumed;  // a resumed run: resumed_from(...), said instead of its seed
};

// Where a resumed run began, as its log says it: "'FILE' at pass N", the
// name printable() so that it stays on its line.
std::string resumed_from(const std::string &path, long passes);

// Whether a log is being written.
bool logging();

// Creates (or empties) the file at `path` for the log of a run seeded
// with `seed`; nothing is written before the first row or the end. False,
// with errno set, when it cannot be opened.
bool open_log(const char *path, const run_description &run, unsigned seed);

// The world whose run is logged, for the first lines (its screen's and
// map's sizes, as far as they are known when they are written). The
// world must outlive the log.
void log_world(const world_base &w);

// Where the figures of the world come from, from the start of the loop:
// a run that ends before its first pass boundary logs the world as seeded.
void log_census_from(void (*take)(const world_base &, census *));

// Told at every pass boundary, with the world and where its figures come
// from: makes the row of the world, and after an ageing pass writes the
// rows made so far to the file. The world must outlive the log.
void log_pass(const world_base &w, void (*take)(const world_base &, census *));

// Ends the log: the world as the run ended, in the pass under way (when
// rows were begun and it changed since the last; pass 0 when none were),
// the line "# end: status N" and the close. Inside a signal handler only
// the rows already made and the end line are written, with
// async-signal-safe calls only. A write that fails (a full disk, a pipe
// without a reader, the file size limit) ends the log there, without a
// signal: returns its errno, or 0 when every byte was written or no log
// was open.
int finish_log(int status, bool in_signal_handler);

// finish_log outside a signal handler, for a run ending with `status`:
// returns the status to exit with, which is EXIT_BAD_ENVIRONMENT instead
// of 0 when the log could not be written whole, after adding a line to
// `complaint`: "WHO: cannot write 'FILE': reason".
int end_log(int status, const char *who, std::string *complaint);

}  // namespace common

// A run's log read back (see common/run_log.h): its columns by name and
// its rows of numbers.
#pragma once

#include <string>
#include <vector>

namespace lab {

struct log_file {
    std::string path;
    std::string program;  // as its "# program:" line names it; empty without one
    std::vector<std::string> columns;
    std::vector<std::vector<long long>> rows;
    bool ended = false;   // the "# end:" line is there: the run finished its log
    int end_status = -1;  // the status that line gives; 128 + N for a death by signal N

    // The index of a column, or -1.
    int column(const std::string &name) const;
    // The columns of the race counts: A to Z, then other.
    std::vector<int> race_columns() const;
    // Ended by a signal, such as SIGTERM's "# end: status 143".
    bool killed() const { return ended && end_status > 128; }
};

// Every part of `text` between separators, empty ones too: "" is one
// empty part, "1,2," three.
std::vector<std::string> split(const std::string &text, char separator);

// Reads a log's text: comment lines, the header (its first two columns
// "pass" and "population"), then rows of as many decimal numbers as the
// header has columns, each within 64 bits. Lines may end in CRLF. False,
// with *why set ("LINE: ..."), for anything else.
bool parse_log(const std::string &text, log_file *log, std::string *why);

// Reads the log at `path`, a regular file (a FIFO or a device is refused,
// never waited on); false, with *why set and naming the file, when it
// cannot be read or is not a run's log.
bool read_log(const std::string &path, log_file *log, std::string *why);

// The logs of a sweep's directory: each subdirectory is a setting, each of
// its .csv names a run (but the tables the summary writes), both in name
// order.
struct setting_logs {
    std::string name;
    std::vector<std::string> paths;
};
std::vector<setting_logs> sweep_logs(const std::string &dir);

// The directory of the sweep that `dir` is part of: `dir` itself, or its
// parent when `dir` is a setting's directory (it holds logs itself and no
// settings).
std::string sweep_root(const std::string &dir);

// The first line of dir/manifest, naming what its runs share, into *line:
// empty when there is none (or `dir` is no directory). A manifest holds
// its names printable(); a line with a control byte, which the lab never
// writes, is printable() whole. False, with *why set, when the manifest is
// not a regular file or cannot be read (never waiting on a FIFO).
bool manifest_line(const std::string &dir, std::string *line, std::string *why);

// The logs of several sweeps' directories (the shares of one sweep) as one
// sweep's: each setting's logs from every directory, in the order of their
// file names, as one directory would hold them. False, with *why set, when
// a manifest cannot be read (a setting's directory's being its sweep's), the manifests' first lines differ or two
// directories hold a log of the same run.
bool merged_sweep_logs(const std::vector<std::string> &dirs, std::vector<setting_logs> *settings, std::string *why);

}  // namespace lab

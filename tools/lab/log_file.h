// A run's log read back (see common/run_log.h): its columns by name and
// its rows of numbers.
#pragma once

#include <string>
#include <vector>

namespace lab {

struct log_file {
    std::string path;
    std::vector<std::string> columns;
    std::vector<std::vector<long long>> rows;
    bool ended = false;  // the "# end:" line is there: the run finished its log

    // The index of a column, or -1.
    int column(const std::string &name) const;
    // The columns of the race counts: A to Z, then other.
    std::vector<int> race_columns() const;
};

// The parts of `text` between separators (a trailing empty part is left
// out, as std::getline leaves it).
std::vector<std::string> split(const std::string &text, char separator);

// Reads the log at `path`; false, with *why set, when it cannot be read
// or a row does not match the header.
bool read_log(const std::string &path, log_file *log, std::string *why);

// The logs of a sweep's directory: each subdirectory is a setting, each of
// its .csv files a run, both in name order.
struct setting_logs {
    std::string name;
    std::vector<std::string> paths;
};
std::vector<setting_logs> sweep_logs(const std::string &dir);

}  // namespace lab

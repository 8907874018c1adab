// The summary of a sweep: per setting, how its runs ended.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/lab/log_file.h"

namespace lab {

// Reads every log under the directories in `dirs` (a subdirectory per
// setting; several directories are merged as the shares of one sweep; a
// setting's own directory is that one setting), prints a table per
// setting and, for a single directory, writes it as dir/summary.csv, with
// dir/runs.csv (a row per run), dir/series.csv (per setting and pass, the
// mean population and its 95% interval) and dir/races.csv (per setting
// and race). Returns the exit status: 0, or 1 with a message when there
// is nothing to summarise, the directories do not merge, or a log or a
// table cannot be read or written.
int summarize(const std::vector<std::string> &dirs);

// One run's figures of one column: (pass, value) for each row.
using curve = std::vector<std::pair<long long, long long>>;
curve curve_of(const log_file &log, int column);

// A setting's runs at one pass: their mean, sample standard deviation
// (0 for one run), number, and the 95% interval of the mean (the mean
// itself for one run).
struct pass_figures {
    long long pass;
    double mean, sd;
    size_t n;
    double low, high;
};

// The figures at every pass any run logged: a run's last value holds
// until its next row, and after its end.
std::vector<pass_figures> series_of(const std::vector<curve> &runs);

// Student's t at 0.975 with `degrees` degrees of freedom (at least 1).
double t_975(size_t degrees);

}  // namespace lab

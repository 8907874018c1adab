// The summary of a sweep: per setting, how its runs ended.
#pragma once

#include <string>

namespace lab {

// Reads every log under `dir` (a subdirectory per setting), prints a table
// per setting and writes it as dir/summary.csv. Returns the exit status:
// 0, or 1 with a message when there is nothing to summarise or a log or
// the summary cannot be read or written.
int summarize(const std::string &dir);

}  // namespace lab

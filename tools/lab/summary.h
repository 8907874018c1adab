// The summary of a sweep: per setting, how its runs ended.
#pragma once

#include <string>
#include <vector>

namespace lab {

// Reads every log under the directories in `dirs` (a subdirectory per
// setting; several directories are merged as the shares of one sweep),
// prints a table per setting and, for a single directory, writes it as
// dir/summary.csv. Returns the exit status: 0, or 1 with a message when
// there is nothing to summarise, the directories do not merge, or a log
// or the summary cannot be read or written.
int summarize(const std::vector<std::string> &dirs);

}  // namespace lab

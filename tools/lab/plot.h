// Pictures of runs' logs, drawn by gnuplot.
#pragma once

#include <string>
#include <vector>

namespace lab {

// Draws `column` over time of the logs in `inputs`, each log a colour of
// its own (for one log's population, the total and its largest races, a
// line each), or, for sweeps' directories, the mean of `column` of each
// setting in a band of its 95% interval. Into
// `output` (.png or .svg), or on the terminal when it is empty. Returns
// the exit status; 1 with a message when gnuplot is missing or fails or
// the picture cannot be written whole (no part of it is left). With a
// `gene`, the inputs are CSVs of genes (terrarium-lab genes) and the
// picture is that gene's mean over time, a line per race; otherwise logs,
// their `column` drawn.
int plot(const std::vector<std::string> &inputs, const std::string &output, const std::string &column,
         const std::string &gene = "");

}  // namespace lab

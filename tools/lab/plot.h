// Pictures of runs' logs, drawn by gnuplot.
#pragma once

#include <string>
#include <vector>

namespace lab {

// Draws the population over time of the logs in `inputs` (the total and
// each race that was ever alive, a line each), or, for a sweep's
// directory, the mean population of each setting with its spread. Into
// `output` (.png or .svg), or on the terminal when it is empty. Returns
// the exit status; 1 with a message when gnuplot is missing or fails or
// the picture cannot be written whole (no part of it is left). With a
// `gene`, the inputs are CSVs of genes (terrarium-lab genes) and the
// picture is that gene's mean over time, a line per race.
int plot(const std::vector<std::string> &inputs, const std::string &output, const std::string &gene = "");

}  // namespace lab

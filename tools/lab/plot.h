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
// the picture cannot be written whole (no part of it is left).
int plot(const std::vector<std::string> &inputs, const std::string &output);

}  // namespace lab

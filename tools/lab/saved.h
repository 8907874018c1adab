// Saved worlds shown by `terrarium-lab inspect`.
#pragma once

#include <string>

namespace lab {

// terrarium-lab inspect: what the file's header says and the census of
// its world, on the standard output. Returns the exit status.
int inspect(const std::string &path);

}  // namespace lab

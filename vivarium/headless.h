// vivarium without a terminal: its world started from a seed, and its
// state written out as text.
#pragma once

#include <cstdio>

#include "common/headless.h"

namespace vivarium {

// Start-up as in the program, with the random generator seeded with
// `seed` instead of the clock; the loop state as the main loop begins.
void start_seeded(unsigned seed);

// The map row by row, the bugs in turn order with every field, the bug
// pointers as indexes into that list, and the population count.
void dump(std::FILE *out, long passes);

// Frees the world and the status line.
void forget();

extern const common::headless_program headless;

}  // namespace vivarium

// The gene editor.
#pragma once

#include "terrarium/world.h"

namespace terrarium {

// Asks for a new race and each of the 25 genes of b, storing the answers:
// an empty answer keeps the old value, a gene outside 0 to 3 is asked
// again. Nothing under the window is repainted when it goes.
void edit(bug *b);

// The answer rules, apart from the terminal. Each takes one answer line
// (without its line end) and reports whether it gave a value.

// Read as "%c": the first character of the line becomes the race, unless
// the line is empty or that character may not be a race (race_ok).
// Otherwise *race is left as it was.
bool race_answer(const char *line, char *race);

// Read as "%d": optional white space, an optional sign and at least one
// digit, up to the first character that is not a digit. A number beyond
// the range of int saturates, so it never wraps into the range of a gene.
// Without a number *gene is left as it was.
bool gene_answer(const char *line, int *gene);

}  // namespace terrarium

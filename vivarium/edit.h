// The gene editor, which reads its answers from the standard input stream.
#pragma once

#include <cstdio>
#include <functional>

#include "vivarium/globals.h"

namespace vivarium {

// Shows b's race and genes, then asks for a new race and each of its 25
// genes, reading the answers from the standard input stream. Nothing that
// is typed is shown; nothing under the window is repainted when it goes.
void edit(bug *b);

// The same, reading from `in`.
void edit_from(bug *b, std::FILE *in);

// The answer rules, apart from the window; each reads from `in`.

// Drops what the stream holds from before (the ends of earlier answers)
// and, on a terminal, the keys typed ahead; clears an end of input.
void discard_pending(std::FILE *in);

// Read as "%c": takes the very next character. Stores it only when it is
// printable ASCII (' ' to '~'), which fits one map cell; a control
// character, a byte above '~' or the end of input leaves *race as it was.
bool read_race(std::FILE *in, char *race);

// Read as "%d": skips white space, takes an optional sign and the digits
// after it, and leaves the character that ends the number in the stream.
// A number beyond the range of int saturates. Without a digit it stores
// nothing (a sign is consumed, the character after it stays) and gives
// false, as at the end of input.
bool read_gene(std::FILE *in, int *gene);

// The questions of one editor call: discards what is pending, then the
// race, then genes 0 to 24. A gene answered outside 0 to 3 is asked again;
// an answer without a number keeps the gene. ask(i) comes before each
// read, i = -1 for the race.
void read_answers(std::FILE *in, char *race, int dna[GENES], const std::function<void(int)> &ask);

}  // namespace vivarium

// Action codes, genes and the decision table shared by both programs.
#pragma once

#include <cstring>

#include "common/random.h"

namespace common {

enum action { REST = 0, TURN_LEFT = 1, TURN_RIGHT = 2, STEP = 3 };

// A gene is an action code, 0 to 3; held in a byte, since a bug carries
// 25 of them and big worlds hold a hundred thousand bugs.
using gene_t = signed char;

// Genes of a bug: gene i is consulted on phase i.
constexpr int GENES = 25;

// Whether a value may be kept as a gene.
inline bool gene_ok(int value) { return value >= REST && value <= STEP; }

// Whether a character may be a bug's race: printable ASCII that is not a
// glyph of the map (' ', '.', '*', '!', '@', '~', '#'), which the rules
// would take for what the glyph means.
inline bool race_ok(int c) { return c > ' ' && c <= '~' && std::strchr(".*!@~#", c) == nullptr; }

// Chooses an action from the forward, left and right scores, the gene for
// the current phase and whether the cell ahead can be entered. Draws from
// the world's generator at most once, only where the gene does not fit.
int decide(random_stream &random, float forward, float left, float right, int gene, bool open);

}  // namespace common

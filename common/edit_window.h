// The gene editor's window, alike in both programs: 9 rows by 45 columns
// at screen row 5, column 10, a box like the popups' (so kept within the
// screen), showing the title, the bug's race and its genes.
#pragma once

#include <curses.h>
#include <string>

#include "common/decide.h"

namespace common {

// The genes as one run of decimal numbers without separators, gene 0 first.
std::string gene_digits(const gene_t *dna, int genes);

// Creates, draws and refreshes the window; null when it cannot be had.
WINDOW *open_edit_window(char race, const gene_t *dna, int genes);

// Prints a question at the prompt position (row 4, column 2) and refreshes.
void edit_prompt(WINDOW *win, const char *format, ...) __attribute__((format(printf, 2, 3)));

// Whether a character may be a bug's race: printable ASCII that is not a
// glyph of the map (' ', '.', '*', '!', '@', '~', '#'), which the rules
// would take for what the glyph means.
bool race_ok(int c);

}  // namespace common

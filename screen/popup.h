// Timed popup message in a small bordered window, and the bordered boxes
// that the popups, the gene editor and the motivation viewer are drawn in.
#pragma once

#include <curses.h>

namespace common {

// A box of rows x cols at screen row `row`, column `col`, bordered with
// '|' and '-', kept within the screen: cut to the screen's size, then
// moved up and left only as far as it must. Null when curses cannot
// make it.
WINDOW *open_box(int rows, int cols, int row, int col);

// Text on a box from (row, col), cut at the box's right border.
void box_text(WINDOW *box, int row, int col, const char *text);

// Shows text, its control characters as escapes (see printable), at
// screen row 5, column 10 (moved up and left where the screen is too
// small for it) for `seconds` whole seconds, then deletes the window
// without repainting what lies under it.
void dopopup(const char *text, int seconds);

}  // namespace common

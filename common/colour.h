// The map's colours, on the display only: water blue, mountains dim, food
// green by its stage, and every race letter a colour of its own. The
// glyphs, and everything that reads them, are the same with colour or
// without it.
#pragma once

#include <curses.h>

namespace common {

namespace colour_detail {
extern chtype by_glyph[128];  // all 0 until colour is set up
}

// The attributes that colour a map glyph (printable ASCII); 0 without colour.
inline chtype colour_of(char glyph) { return colour_detail::by_glyph[static_cast<unsigned char>(glyph) & 127]; }

// Turns colour on, once the screen is open, when the environment variable
// `wanted` is "1", NO_COLOR is not set (whatever its value) and the
// terminal has colours.
void set_up_colour(const char *wanted);

}  // namespace common

// The map's colours, on the display only: water blue, mountains dim, food
// green by its stage, and every race letter a colour of its own. The
// glyphs, and everything that reads them, are the same with colour or
// without it.
#pragma once

#include <curses.h>

namespace common {

// The attributes that colour each map glyph: all 0 until colour is set up.
struct glyph_colours {
    chtype by_glyph[128] = {};

    // The attributes of a glyph (printable ASCII); 0 without colour.
    chtype of(char glyph) const { return by_glyph[static_cast<unsigned char>(glyph) & 127]; }
};

// Turns colour on, once the screen is open, when the environment variable
// `wanted` is "1", NO_COLOR is not set (whatever its value) and the
// terminal has colours.
void set_up_colour(const char *wanted, glyph_colours &colours);

}  // namespace common

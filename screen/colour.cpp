#include "screen/colour.h"

#include <cstdlib>
#include <cstring>

#include "common/decide.h"

namespace common {

namespace {

// The races' colours, far apart so that territories show at a glance:
// with 256 colours one for each of A to Z; with 8, seven, plain and bold.
const short wide_palette[] = {196, 208, 220, 226, 118, 48,  51,  39,  33,  99,  129, 201, 213,
                              205, 209, 180, 186, 156, 122, 159, 117, 147, 170, 183, 255, 245};
const short narrow_palette[] = {COLOR_RED,  COLOR_YELLOW, COLOR_MAGENTA, COLOR_CYAN,
                                COLOR_WHITE, COLOR_GREEN, COLOR_BLUE};

constexpr short WATER = 1, FOOD = 2, FIRST_RACE = 3;
constexpr int WIDE = sizeof wide_palette / sizeof *wide_palette;
constexpr int NARROW = sizeof narrow_palette / sizeof *narrow_palette;

bool colour_wanted(const char *wanted)
{
    const char *value = std::getenv(wanted);
    return value != nullptr && std::strcmp(value, "1") == 0 && std::getenv("NO_COLOR") == nullptr && has_colors();
}

// Every glyph that may be a race gets a look, 'A' the first, in turn.
void colour_races(short background, chtype *by_glyph)
{
    bool wide = COLORS >= 256 && COLOR_PAIRS > FIRST_RACE + WIDE;
    const short *palette = wide ? wide_palette : narrow_palette;
    int colours = wide ? WIDE : NARROW;
    int looks = wide ? colours : 2 * colours;
    for (short i = 0; i < colours; i++)
        init_pair(static_cast<short>(FIRST_RACE + i), palette[i], background);
    for (int glyph = 0; glyph < 128; glyph++) {
        if (!race_ok(glyph))
            continue;
        int look = (glyph - 'A' + looks * 128) % looks;
        by_glyph[glyph] = COLOR_PAIR(FIRST_RACE + look % colours) | (look >= colours ? A_BOLD : 0);
    }
}

}  // namespace

void set_up_colour(const char *wanted, glyph_colours &colours)
{
    chtype *by_glyph = colours.by_glyph;
    if (!colour_wanted(wanted) || start_color() == ERR)
        return;
    short background = use_default_colors() == OK ? -1 : COLOR_BLACK;
    init_pair(WATER, COLOR_BLUE, background);
    init_pair(FOOD, COLOR_GREEN, background);
    by_glyph[static_cast<unsigned char>('~')] = COLOR_PAIR(WATER);
    by_glyph[static_cast<unsigned char>('#')] = A_DIM;
    by_glyph[static_cast<unsigned char>('.')] = COLOR_PAIR(FOOD) | A_DIM;  // seedling
    by_glyph[static_cast<unsigned char>('*')] = COLOR_PAIR(FOOD);          // sprout
    by_glyph[static_cast<unsigned char>('@')] = COLOR_PAIR(FOOD) | A_BOLD; // ripe
    colour_races(background, by_glyph);
}

}  // namespace common

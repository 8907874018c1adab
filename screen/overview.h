// The overview: the whole map scaled into the screen, each screen cell a
// block of map cells showing what dominates the block, or how many bugs
// it holds. It reads the map's glyphs only: every bug stands on the map
// under its race letter.
#pragma once

#include <cstdint>
#include <vector>

namespace common {

struct overview_layout {
    int block_rows, block_cols;  // a block's sides, in map cells (1 where the map fits)
    int rows;   // blocks down the map: the last row of blocks may be partial
    int cols;   // blocks across it
};

// The smallest block that fits a map of `rows` x `cols` into
// `screen_rows` x `screen_cols` screen cells, each side on its own, so
// that the blocks fill the screen both ways: on a screen wider than the
// map is, a block spans more columns than rows. A screen side below 1
// counts as 1.
overview_layout overview_layout_for(int rows, int cols, int screen_rows, int screen_cols);

// The glyph of `bugs` bugs in a block, on a doubling scale: blank for
// none, then DENSITY_RAMP[1] for 1, [2] for 2 to 3, [3] for 4 to 7, ...,
// and its last glyph for 256 or more.
inline constexpr char DENSITY_RAMP[] = " .:-=+*#%@";
char density_glyph(uint32_t bugs);

// The legend line of each view: what its glyphs mean (the selected bug's
// block is marked apart).
extern const char *const RACES_LEGEND;
extern const char *const DENSITY_LEGEND;

// The glyph of each block of a map, row by row. A block shows the race with
// most bugs in it (the lowest byte on a tie); without a bug, the most
// common of ripe food '@', younger food, water '~' and mountain '#' (in
// that order on a tie), younger food drawn as the more common of sprout
// '*' and seedling '.' ('*' on a tie); with none of them, blank. With
// `density`, it shows the glyph of how many bugs it holds instead.
class overview {
public:
    // `map` holds rows x cols glyphs, row by row; fills `glyphs` with
    // layout.rows x layout.cols of them.
    void draw(const char *map, int rows, int cols, const overview_layout &layout, std::vector<char> &glyphs,
              bool density = false);

private:
    std::vector<uint32_t> counts_;  // per block of one row of blocks, per glyph byte
};

}  // namespace common

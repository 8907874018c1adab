// The overview: the whole map scaled into the screen, each screen cell a
// square block of map cells showing what dominates the block. It reads the
// map's glyphs only: every bug stands on the map under its race letter.
#pragma once

#include <cstdint>
#include <vector>

namespace common {

struct overview_layout {
    int block;  // side of a block, in map cells (1 when the map fits)
    int rows;   // blocks down the map: the last row of blocks may be partial
    int cols;   // blocks across it
};

// The smallest square block that fits a map of `rows` x `cols` into
// `screen_rows` x `screen_cols` screen cells (each at least 1).
overview_layout overview_layout_for(int rows, int cols, int screen_rows, int screen_cols);

// The glyph of each block of a map, row by row. A block shows the race with
// most bugs in it (the lowest byte on a tie); without a bug, the most
// common of ripe food '@', younger food, water '~' and mountain '#' (in
// that order on a tie), younger food drawn as the more common of sprout
// '*' and seedling '.' ('*' on a tie); with none of them, blank.
class overview {
public:
    // `map` holds rows x cols glyphs, row by row; fills `glyphs` with
    // layout.rows x layout.cols of them.
    void draw(const char *map, int rows, int cols, const overview_layout &layout, std::vector<char> &glyphs);

private:
    std::vector<uint32_t> counts_;  // per block of one row of blocks, per glyph byte
};

}  // namespace common

#include "common/overview.h"

#include <algorithm>
#include <cstring>

namespace common {

namespace {

int ceil_div(int a, int b) { return (a + b - 1) / b; }

bool is_race(int glyph)
{
    return glyph > ' ' && glyph != '.' && glyph != '*' && glyph != '@' && glyph != '~' && glyph != '#' &&
           glyph != '!';
}

// What dominates one block, from the count of each glyph byte in it.
char dominant(const uint32_t *count)
{
    int race = 0;
    for (int glyph = '!' + 1; glyph < 256; glyph++)
        if (count[glyph] > count[race] && is_race(glyph))
            race = glyph;
    if (race != 0)
        return static_cast<char>(race);
    uint32_t younger = count['*'] + count['.'];
    char younger_glyph = count['*'] >= count['.'] ? '*' : '.';
    const std::pair<char, uint32_t> ranked[] = {
        {'@', count['@']}, {younger_glyph, younger}, {'~', count['~']}, {'#', count['#']}};
    std::pair<char, uint32_t> best{' ', 0};
    for (const auto &kind : ranked)
        if (kind.second > best.second)
            best = kind;
    return best.first;
}

}  // namespace

overview_layout overview_layout_for(int rows, int cols, int screen_rows, int screen_cols)
{
    int block = std::max({1, ceil_div(rows, screen_rows), ceil_div(cols, screen_cols)});
    return {block, ceil_div(rows, block), ceil_div(cols, block)};
}

void overview::draw(const char *map, int rows, int cols, const overview_layout &layout, std::vector<char> &glyphs)
{
    glyphs.assign(static_cast<size_t>(layout.rows) * layout.cols, ' ');
    counts_.resize(static_cast<size_t>(layout.cols) * 256);
    for (int block_row = 0; block_row < layout.rows; block_row++) {
        std::fill(counts_.begin(), counts_.end(), 0);
        int last = std::min(rows, (block_row + 1) * layout.block);
        for (int row = block_row * layout.block; row < last; row++) {
            const unsigned char *cell = reinterpret_cast<const unsigned char *>(map) + static_cast<size_t>(row) * cols;
            for (int block_col = 0; block_col < layout.cols; block_col++) {
                uint32_t *count = &counts_[static_cast<size_t>(block_col) * 256];
                int end = std::min(cols, (block_col + 1) * layout.block);
                for (int col = block_col * layout.block; col < end; col++)
                    count[cell[col]]++;
            }
        }
        for (int block_col = 0; block_col < layout.cols; block_col++)
            glyphs[static_cast<size_t>(block_row) * layout.cols + block_col] =
                dominant(&counts_[static_cast<size_t>(block_col) * 256]);
    }
}

}  // namespace common

#include "screen/overview.h"

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

// The bugs in one block: its race glyphs.
uint32_t bugs_in(const uint32_t *count)
{
    uint32_t bugs = 0;
    for (int glyph = '!' + 1; glyph < 256; glyph++)
        if (is_race(glyph))
            bugs += count[glyph];
    return bugs;
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

const char *const RACES_LEGEND = "race of most bugs, else @ripe *sprout .seedling ~water #mountain";
const char *const DENSITY_LEGEND = "bugs per block: .1 :2+ -4+ =8+ +16+ *32+ #64+ %128+ @256+";

overview_layout overview_layout_for(int rows, int cols, int screen_rows, int screen_cols)
{
    int block_rows = std::max(1, ceil_div(rows, std::max(1, screen_rows)));
    int block_cols = std::max(1, ceil_div(cols, std::max(1, screen_cols)));
    return {block_rows, block_cols, ceil_div(rows, block_rows), ceil_div(cols, block_cols)};
}

char density_glyph(uint32_t bugs)
{
    int shade = 0;
    for (; bugs != 0 && DENSITY_RAMP[shade + 1] != '\0'; bugs /= 2)
        shade++;
    return DENSITY_RAMP[shade];
}

void overview::draw(const char *map, int rows, int cols, const overview_layout &layout, std::vector<char> &glyphs,
                    bool density)
{
    glyphs.assign(static_cast<size_t>(layout.rows) * layout.cols, ' ');
    counts_.resize(static_cast<size_t>(layout.cols) * 256);
    for (int block_row = 0; block_row < layout.rows; block_row++) {
        std::fill(counts_.begin(), counts_.end(), 0);
        int last = std::min(rows, (block_row + 1) * layout.block_rows);
        for (int row = block_row * layout.block_rows; row < last; row++) {
            const unsigned char *cell = reinterpret_cast<const unsigned char *>(map) + static_cast<size_t>(row) * cols;
            for (int block_col = 0; block_col < layout.cols; block_col++) {
                uint32_t *count = &counts_[static_cast<size_t>(block_col) * 256];
                int end = std::min(cols, (block_col + 1) * layout.block_cols);
                for (int col = block_col * layout.block_cols; col < end; col++)
                    count[cell[col]]++;
            }
        }
        for (int block_col = 0; block_col < layout.cols; block_col++) {
            const uint32_t *count = &counts_[static_cast<size_t>(block_col) * 256];
            glyphs[static_cast<size_t>(block_row) * layout.cols + block_col] =
                density ? density_glyph(bugs_in(count)) : dominant(count);
        }
    }
}

}  // namespace common

#include "common/food.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "common/map.h"
#include "common/stop.h"
#include "common/random.h"

namespace common {

void placefood()
{
    if (world_random.next() % 11 > 1)
        return;
    int row = world_random.next() % world_row;
    int col = world_random.next() % world_col;
    if (cell_read(row, col) == ' ')
        cell_write(row, col, '.');
}

namespace {

// What one growfood call makes of a cell, from its glyph and whether one
// of its four neighbours was ripe, both as the call began. A call is three
// sweeps: '*' is marked '!' and '.' becomes '*'; each '@' sows '.' into
// its blank neighbours; '!' becomes '@'. The first sweep makes no '@' and
// no blank and the second sows only blanks, so a cell's outcome depends on
// the map as it was at the start alone, and one pass over the rows gives
// it. Written without branches, so the loop below runs many cells a step.
inline char grown(char here, bool ripe_neighbour)
{
    char now = here;
    now = here == '.' ? '*' : now;
    now = (here == '*') | (here == '!') ? '@' : now;
    now = (here == ' ') & ripe_neighbour ? '.' : now;
    return now;
}

// Row `here` grown into `out`, with the rows above and below it.
void grow_row(const char *above, const char *here, const char *below, char *out, int cols)
{
    auto ripe = [&](int x, int west, int east) {
        return (above[x] == '@') | (below[x] == '@') | (here[west] == '@') | (here[east] == '@');
    };
    for (int x = 1; x < cols - 1; x++)
        out[x] = grown(here[x], ripe(x, x - 1, x + 1));
    out[0] = grown(here[0], ripe(0, cols - 1, cols > 1 ? 1 : 0));
    if (cols > 1)
        out[cols - 1] = grown(here[cols - 1], ripe(cols - 1, cols - 2, 0));
}

// Writes the cells of row y where `now` differs from `was`; whole words
// at a time are skipped while they agree.
void write_changes(int y, const char *was, const char *now, int cols)
{
    int x = 0;
    for (; x + 8 <= cols; x += 8)
        if (std::memcmp(was + x, now + x, 8) != 0)
            for (int i = x; i < x + 8; i++)
                if (was[i] != now[i])
                    cell_write(y, i, now[i]);
    for (; x < cols; x++)
        if (was[x] != now[x])
            cell_write(y, x, now[x]);
}

}  // namespace

// Row by row: each row is grown from the rows above and below as they were
// at the start, so the row above is kept as it was before its own writes
// (and row 0, which the last row needs below it). The rows are kept from
// call to call: after the first, growing food allocates nothing, however
// short of memory a crowded run becomes.
void growfood()
{
    static std::vector<char> lines;
    size_t cols = static_cast<size_t>(world_col);
    if (lines.size() < 3 * cols) {
        try {
            lines.resize(3 * cols);
        } catch (const std::bad_alloc &) {
            stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
        }
    }
    char *first = lines.data(), *above = first + cols, *out = above + cols;
    std::memcpy(first, map_row(0), cols);
    std::memcpy(above, map_row(world_row - 1), cols);
    for (int y = 0; y < world_row; y++) {
        const char *here = y == 0 ? first : map_row(y);
        const char *below = y + 1 < world_row ? map_row(y + 1) : first;
        grow_row(above, here, below, out, world_col);
        std::memcpy(above, here, cols);
        write_changes(y, above, out, world_col);
    }
}

}  // namespace common

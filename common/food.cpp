#include "common/food.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "common/outcome.h"
#include "common/world.h"

namespace common {

void placefood(world_base &w)
{
    if (w.random.next() % 11 > 1)
        return;
    int row = w.random.next() % w.map.rows();
    int col = w.random.next() % w.map.cols();
    if (w.map.read(row, col) == ' ')
        w.map.write(row, col, '.');
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
void write_changes(world_map &map, int y, const char *was, const char *now, int cols)
{
    int x = 0;
    for (; x + 8 <= cols; x += 8)
        if (std::memcmp(was + x, now + x, 8) != 0)
            for (int i = x; i < x + 8; i++)
                if (was[i] != now[i])
                    map.write(y, i, now[i]);
    for (; x < cols; x++)
        if (was[x] != now[x])
            map.write(y, x, now[x]);
}

}  // namespace

// Row by row: each row is grown from the rows above and below as they were
// at the start, so the row above is kept as it was before its own writes
// (and row 0, which the last row needs below it). The rows are kept from
// call to call: after the first, growing food allocates nothing, however
// short of memory a crowded run becomes.
void growfood(world_base &w)
{
    world_map &map = w.map;
    std::vector<char> &lines = w.food_rows;
    size_t cols = static_cast<size_t>(map.cols());
    if (lines.size() < 3 * cols) {
        try {
            lines.resize(3 * cols);
        } catch (const std::bad_alloc &) {
            end_world(outcome::too_large, "world too large\n");
        }
    }
    char *first = lines.data(), *above = first + cols, *out = above + cols;
    std::memcpy(first, map.row(0), cols);
    std::memcpy(above, map.row(map.rows() - 1), cols);
    for (int y = 0; y < map.rows(); y++) {
        const char *here = y == 0 ? first : map.row(y);
        const char *below = y + 1 < map.rows() ? map.row(y + 1) : first;
        grow_row(above, here, below, out, map.cols());
        std::memcpy(above, here, cols);
        write_changes(map, y, above, out, map.cols());
    }
}

}  // namespace common

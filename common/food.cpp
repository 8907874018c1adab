#include "common/food.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/cell.h"

void place_food(WINDOW *pad, int rows, int cols)
{
    if (std::rand() % 11 > 1)
        return;
    int row = std::rand() % rows;
    int col = std::rand() % cols;
    char glyph = 0;
    cell_read(pad, row, col, &glyph);
    if (glyph == ' ')
        cell_write(pad, row, col, '.');
}

namespace {

// What one growfood call makes of a cell, from the glyphs that it and its
// four neighbours showed when the call began. A call is three sweeps: '*'
// is marked '!' and '.' becomes '*'; each '@' sows '.' into its blank
// neighbours; '!' becomes '@'. The first sweep makes no '@' and no blank
// and the second sows only blanks, so a cell's outcome depends on the map
// as it was at the start alone, and one pass over the rows gives it.
char grown(char here, char north, char east, char south, char west)
{
    switch (here) {
    case '.': return '*';
    case '*': case '!': return '@';
    case ' ': return (north == '@' || east == '@' || south == '@' || west == '@') ? '.' : ' ';
    default: return here;
    }
}

}  // namespace

// Row by row, keeping the rows above and below as they were at the start
// (row 0 is needed again below the last row, the last row above row 0).
void grow_food(WINDOW *pad, int rows, int cols)
{
    std::vector<char> lines(4 * static_cast<size_t>(cols));
    char *first = lines.data();
    char *above = first + cols, *here = above + cols, *below = here + cols;
    if (cell_read_row(pad, 0, first, cols) != 0 || cell_read_row(pad, rows - 1, above, cols) != 0)
        return;
    std::memcpy(here, first, static_cast<size_t>(cols));
    for (int y = 0; y < rows; y++) {
        if (y + 1 < rows)
            cell_read_row(pad, y + 1, below, cols);
        else
            std::memcpy(below, first, static_cast<size_t>(cols));
        for (int x = 0; x < cols; x++) {
            int east = x + 1 < cols ? x + 1 : 0;
            int west = x > 0 ? x - 1 : cols - 1;
            char now = grown(here[x], above[x], here[east], below[x], here[west]);
            if (now != here[x])
                cell_write(pad, y, x, now);
        }
        char *spare = above;
        above = here;
        here = below;
        below = spare;
    }
}

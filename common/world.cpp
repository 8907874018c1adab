#include "common/world.h"

#include <cstdlib>

#include "common/cell.h"
#include "common/term.h"

WINDOW *open_world(unsigned seed, int rows, int cols)
{
    std::srand(seed);
    WINDOW *pad = newpad(rows, cols);
    if (pad == nullptr)
        leave(EXIT_WORLD_TOO_LARGE, "world too large\n", nullptr);
    wclear(stdscr);
    return pad;
}

char glyph_of(WINDOW *pad, int row, int col)
{
    char glyph = 0;
    cell_read(pad, row, col, &glyph);
    return glyph;
}

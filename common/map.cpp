#include "common/map.h"

#include <cstdlib>
#include <cstring>

#include "common/term.h"

namespace common {

WINDOW *world_pad = nullptr;
int world_row = 0;
int world_col = 0;

namespace map_detail {
char *glyphs = nullptr;
}

void cell_write(int row, int col, char glyph)
{
    if (glyph < ' ' || glyph > '~' || !on_map(row, col))
        return;
    // waddch is what a "%c" print ends in. The bottom-right cell is
    // written too, though the cursor cannot move past it.
    mvwaddch(world_pad, row, col, static_cast<chtype>(glyph));
    map_detail::glyphs[static_cast<size_t>(row) * static_cast<size_t>(world_col) + static_cast<size_t>(col)] =
        glyph;
}

void open_world(unsigned seed)
{
    std::srand(seed);
    size_t cells = static_cast<size_t>(world_row) * static_cast<size_t>(world_col);
    world_pad = newpad(world_row, world_col);
    map_detail::glyphs = static_cast<char *>(std::malloc(cells));
    if (world_pad == nullptr || map_detail::glyphs == nullptr)
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    std::memset(map_detail::glyphs, ' ', cells);
    wclear(stdscr);
}

void close_world()
{
    if (world_pad != nullptr)
        delwin(world_pad);
    world_pad = nullptr;
    std::free(map_detail::glyphs);
    map_detail::glyphs = nullptr;
}

}  // namespace common

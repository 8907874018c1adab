#include "common/map.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/colour.h"
#include "common/term.h"

namespace common {

WINDOW *world_pad = nullptr;
int world_row = 0;
int world_col = 0;

namespace map_detail {
char *glyphs = nullptr;
}

namespace {

// Cells whose last write carried attributes (the selected bug's letter in
// standout, and a former selection's until that bug moves on), so that
// every pad cell is known: its glyph, and these attributes or none.
struct marked {
    size_t cell;
    chtype attrs;
};
std::vector<marked> marked_cells;

chtype attrs_of(size_t cell)
{
    for (const marked &m : marked_cells)
        if (m.cell == cell)
            return m.attrs;
    return 0;
}

void mark(size_t cell, chtype attrs)
{
    auto same = [cell](const marked &m) { return m.cell == cell; };
    marked_cells.erase(std::remove_if(marked_cells.begin(), marked_cells.end(), same), marked_cells.end());
    if (attrs != 0)
        marked_cells.push_back({cell, attrs});
}

// A pad write held back while the same cell may be written again: a turn
// blanks the bug's cell and writes its letter back, which for a bug that
// stays where it was leaves the pad as it was, and costs no write.
struct held_write {
    bool holding = false;
    size_t cell;
    chtype before;  // what the pad shows
    chtype after;   // what it is to show
} held;

// The one place where the pad's cells are written, and so where the map
// takes its colours.
void release()
{
    if (held.holding && held.after != held.before) {
        chtype shown = held.after | colour_of(static_cast<char>(held.after & A_CHARTEXT));
        mvwaddchnstr(world_pad, static_cast<int>(held.cell / world_col), static_cast<int>(held.cell % world_col),
                     &shown, 1);
    }
    held.holding = false;
}

}  // namespace

void cell_write(int row, int col, char glyph)
{
    if (glyph < ' ' || glyph > '~' || !on_map(row, col))
        return;
    size_t cell = static_cast<size_t>(row) * static_cast<size_t>(world_col) + static_cast<size_t>(col);
    if (!held.holding || held.cell != cell) {
        release();
        held = {true, cell, static_cast<chtype>(static_cast<unsigned char>(map_detail::glyphs[cell])) | attrs_of(cell),
                0};
    }
    // A printable glyph with the pad's attributes is what a "%c" print
    // leaves in the cell; put in whole, without waddch's interpretation
    // of the character, it costs a fraction of it.
    chtype attrs = getattrs(world_pad) & ~A_CHARTEXT;
    held.after = static_cast<chtype>(static_cast<unsigned char>(glyph)) | attrs;
    if (attrs != 0 || !marked_cells.empty())
        mark(cell, attrs);
    map_detail::glyphs[cell] = glyph;
}

void sync_pad() { release(); }

void open_world(unsigned seed)
{
    std::srand(seed);
    size_t cells = static_cast<size_t>(world_row) * static_cast<size_t>(world_col);
    world_pad = newpad(world_row, world_col);
    map_detail::glyphs = static_cast<char *>(std::malloc(cells));
    if (world_pad == nullptr || map_detail::glyphs == nullptr)
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    std::memset(map_detail::glyphs, ' ', cells);
    held.holding = false;
    marked_cells.clear();
    wclear(stdscr);
}

void close_world()
{
    if (world_pad != nullptr)
        delwin(world_pad);
    world_pad = nullptr;
    std::free(map_detail::glyphs);
    map_detail::glyphs = nullptr;
    held.holding = false;
    marked_cells.clear();
}

}  // namespace common

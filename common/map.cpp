#include "common/map.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "common/colour.h"
#include "common/stop.h"
#include "common/random.h"

namespace common {

random_stream world_random;
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

// The pad catches up with the copy when it is to be shown (sync_pad):
// the cells written since, while they are few, or the whole map, once so
// many have been written (the terrain, a long run without a display) that
// drawing it all anew row by row is cheaper.
std::vector<uint32_t> dirty;  // maps are at most 32767 cells on a side
bool all_dirty = false;
std::vector<chtype> line;     // a row being drawn: made with the map, so drawing never allocates

// The pad's look of a cell: its glyph, in the glyph's colour (none without
// colour), with the cell's marked attributes. Drawing is the one place
// where the pad's cells are written, and so where the map takes colour.
chtype shown_of(size_t cell)
{
    char glyph = map_detail::glyphs[cell];
    return static_cast<chtype>(static_cast<unsigned char>(glyph)) | colour_of(glyph) | attrs_of(cell);
}

void draw_cell(size_t cell)
{
    chtype shown = shown_of(cell);
    mvwaddchnstr(world_pad, static_cast<int>(cell / world_col), static_cast<int>(cell % world_col), &shown, 1);
}

void draw_all()
{
    for (int row = 0; row < world_row; row++) {
        size_t first = static_cast<size_t>(row) * static_cast<size_t>(world_col);
        for (int col = 0; col < world_col; col++) {
            char glyph = map_detail::glyphs[first + col];
            line[col] = static_cast<chtype>(static_cast<unsigned char>(glyph)) | colour_of(glyph);
        }
        for (const marked &m : marked_cells)
            if (m.cell / world_col == static_cast<size_t>(row))
                line[m.cell % world_col] |= m.attrs;
        mvwaddchnstr(world_pad, row, 0, line.data(), world_col);
    }
}

}  // namespace

void cell_write(int row, int col, char glyph, chtype attrs)
{
    if (glyph < ' ' || glyph > '~' || !on_map(row, col))
        return;
    size_t cell = static_cast<size_t>(row) * static_cast<size_t>(world_col) + static_cast<size_t>(col);
    if (attrs != 0 || (!marked_cells.empty() && attrs_of(cell) != 0))
        mark(cell, attrs);
    map_detail::glyphs[cell] = glyph;
    if (all_dirty || (!dirty.empty() && dirty.back() == cell))
        return;
    if (dirty.size() < dirty.capacity()) {
        dirty.push_back(static_cast<uint32_t>(cell));
    } else {
        all_dirty = true;
        dirty.clear();
    }
}

void sync_pad()
{
    if (all_dirty)
        draw_all();
    else
        for (uint32_t cell : dirty)
            draw_cell(cell);
    dirty.clear();
    all_dirty = false;
}

void open_world(unsigned seed)
{
    world_random.reseed(seed);
    size_t cells = static_cast<size_t>(world_row) * static_cast<size_t>(world_col);
    world_pad = newpad(world_row, world_col);
    map_detail::glyphs = static_cast<char *>(std::malloc(cells));
    if (world_pad == nullptr || map_detail::glyphs == nullptr)
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    std::memset(map_detail::glyphs, ' ', cells);
    // Room for a fiftieth of the cells: more than a crowded world's bugs
    // write in a pass, which is how often a display catches up.
    try {
        dirty.clear();
        dirty.reserve(cells / 50 + 1);
        line.assign(static_cast<size_t>(world_col) + 1, 0);
    } catch (const std::bad_alloc &) {
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    }
    all_dirty = false;
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
    std::vector<uint32_t>().swap(dirty);
    std::vector<chtype>().swap(line);
    all_dirty = false;
    marked_cells.clear();
}

}  // namespace common

#include "common/map.h"

#include <algorithm>
#include <new>

namespace common {

bool world_map::open()
{
    if (rows_ <= 0 || cols_ <= 0 || rows_ > MAP_SIDE_LIMIT || cols_ > MAP_SIDE_LIMIT)
        return false;
    size_t cells = static_cast<size_t>(rows_) * static_cast<size_t>(cols_);
    try {
        glyphs_.assign(cells, ' ');
        // Room for a fiftieth of the cells: more than a crowded world's
        // bugs write in a pass, which is how often a display catches up.
        changed_.clear();
        changed_.reserve(cells / 50 + 1);
    } catch (const std::bad_alloc &) {
        return false;
    }
    all_changed_ = false;
    selected_.clear();
    return true;
}

void world_map::write(int row, int col, char glyph, bool selected)
{
    if (glyph < ' ' || glyph > '~' || !on_map(row, col))
        return;
    size_t cell = static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col);
    // Most writes are of cells not drawn for the selection: a look at two.
    bool was_selected = false;
    for (size_t c : selected_)
        was_selected |= c == cell;
    if (selected || was_selected) {
        selected_.erase(std::remove(selected_.begin(), selected_.end(), cell), selected_.end());
        if (selected && selected_.size() == SELECTED_CELLS)  // never, by the rules
            selected_.erase(selected_.begin());
        if (selected)
            selected_.push_back(cell);
    }
    glyphs_[cell] = glyph;
    if (all_changed_ || (!changed_.empty() && changed_.back() == cell))
        return;
    if (changed_.size() < changed_.capacity()) {
        changed_.push_back(static_cast<uint32_t>(cell));
    } else {
        all_changed_ = true;
        changed_.clear();
    }
}

bool world_map::write_row(int row, const char *glyphs)
{
    if (row < 0 || row >= rows_ || !std::all_of(glyphs, glyphs + cols_, [](char g) { return g >= ' ' && g <= '~'; }))
        return false;
    std::copy(glyphs, glyphs + cols_, glyphs_.begin() + static_cast<std::ptrdiff_t>(row) * cols_);
    all_changed_ = true;
    changed_.clear();
    return true;
}

void world_map::forget_changes() const
{
    changed_.clear();
    all_changed_ = false;
}

}  // namespace common

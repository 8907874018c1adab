#include "common/map.h"

#include <algorithm>
#include <new>

namespace common {

bool world_map::open()
{
    if (rows_ <= 0 || cols_ <= 0 || rows_ > MAP_SIDE_LIMIT || cols_ > MAP_SIDE_LIMIT)
        return false;
    try {
        glyphs_.assign(static_cast<size_t>(rows_) * static_cast<size_t>(cols_), ' ');
    } catch (const std::bad_alloc &) {
        return false;
    }
    tell_rewritten();
    return true;
}

void world_map::write(int row, int col, char glyph, bool selected)
{
    if (glyph < ' ' || glyph > '~' || !on_map(row, col))
        return;
    size_t cell = static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col);
    glyphs_[cell] = glyph;
    // Without a display or a save to come, nothing watches: one branch.
    if (__builtin_expect(!watchers_.empty(), 0))
        tell(cell, selected);
}

void world_map::tell(size_t cell, bool selected) const
{
    for (map_watcher *w : watchers_)
        w->written(cell, selected);
}

void world_map::tell_rewritten() const
{
    for (map_watcher *w : watchers_)
        w->rewritten();
}

bool world_map::write_row(int row, const char *glyphs)
{
    if (row < 0 || row >= rows_ || !std::all_of(glyphs, glyphs + cols_, [](char g) { return g >= ' ' && g <= '~'; }))
        return false;
    std::copy(glyphs, glyphs + cols_, glyphs_.begin() + static_cast<std::ptrdiff_t>(row) * cols_);
    tell_rewritten();
    return true;
}

void world_map::unwatch(map_watcher *w) const
{
    watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), w), watchers_.end());
}

}  // namespace common

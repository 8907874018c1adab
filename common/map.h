// The world map: one glyph a byte, row by row. Every change is one
// `write`, which also notes what a display needs to catch up with it: the
// cells written since it last looked, and the cells last drawn for the
// selected bug. The map knows nothing of the screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace common {

// The remainder of v by n (n > 0), never negative. Cells one step off
// the map, the common case, are brought back without a division.
inline int wrap(int v, int n)
{
    if (static_cast<unsigned>(v) < static_cast<unsigned>(n))
        return v;
    if (v < 0 && v >= -n)
        return v + n;
    if (v >= n && v - n < n)
        return v - n;
    int r = v % n;
    return r < 0 ? r + n : r;
}

// The largest map on a side: what a curses pad, which shows the map, holds.
constexpr int MAP_SIDE_LIMIT = 32767;

// The most cells drawn for the selected bug at once: its own, and that of
// the bug selected before the keys last changed the selection, until that
// bug's next turn. (Within a pass the selection moves only when the
// selected bug dies, and its death rewrites its cell.)
constexpr size_t SELECTED_CELLS = 2;

class world_map {
public:
    int rows() const { return rows_; }
    int cols() const { return cols_; }

    // The map's size, before it is opened (and when it cannot be).
    void plan(int rows, int cols)
    {
        rows_ = rows;
        cols_ = cols;
    }

    // The planned map, blank; false when it cannot be had (beyond
    // MAP_SIDE_LIMIT on a side, or out of memory).
    bool open();

    bool on_map(int row, int col) const
    {
        return static_cast<unsigned>(row) < static_cast<unsigned>(rows_) &&
               static_cast<unsigned>(col) < static_cast<unsigned>(cols_);
    }

    // The glyph at (row, col); '\0' off the map.
    char read(int row, int col) const
    {
        if (!on_map(row, col))
            return '\0';
        return glyphs_[static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col)];
    }

    // The glyphs of one row (cols() of them).
    const char *row(int row) const { return glyphs_.data() + static_cast<size_t>(row) * static_cast<size_t>(cols_); }

    // Puts glyph at (row, col), `selected` when it is drawn for the selected
    // bug. Glyphs are printable ASCII; anything else, and a cell off the
    // map, writes nothing.
    void write(int row, int col, char glyph, bool selected = false);

    // Puts a whole row of cols() glyphs, as a saved world gives it; false,
    // writing nothing, when one is not printable ASCII.
    bool write_row(int row, const char *glyphs);

    // Whether the map is too big for the processor's caches to keep it and
    // its bugs' records; then what a turn reads is asked for a turn ahead.
    bool big() const { return static_cast<long>(rows_) * cols_ >= (1L << 22); }

    // Asks the processor early for the cells that a bug at (y, x) looks at
    // first: its row and, `reach` rows up and down, its column.
    void prefetch_around(int y, int x, int reach) const
    {
        for (int d = -reach; d <= reach; d++)
            __builtin_prefetch(glyphs_.data() + static_cast<size_t>(wrap(y + d, rows_)) * cols_ + x);
    }

    // What a display reads to catch up: the cells written since it last
    // did (all of them, once there are many), then forget_changes. This
    // bookkeeping is the display's, not the world's: forgetting it leaves
    // the map as it is.
    bool all_changed() const { return all_changed_; }
    const std::vector<uint32_t> &changed() const { return changed_; }
    void forget_changes() const;

    // The cells whose last write was for the selected bug, the latest
    // last: SELECTED_CELLS at most, all a write looks at.
    const std::vector<size_t> &selected_cells() const { return selected_; }

private:
    int rows_ = 0, cols_ = 0;
    std::vector<char> glyphs_;
    mutable std::vector<uint32_t> changed_;  // maps are at most 32767 cells on a side
    mutable bool all_changed_ = false;
    std::vector<size_t> selected_;
};

}  // namespace common

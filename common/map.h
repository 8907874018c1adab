// The world map: one glyph a byte, row by row. Every change is one
// `write`, which tells the map's watchers, if any: what follows the map
// (a display, the record of the selected bug's cells) keeps its own
// account of it. The map knows nothing of the screen.
#pragma once

#include <cstddef>
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

// The largest map on a side. Within it the area, rows x cols, fits an
// int, in which the rules count cells (seeding, the terrain's counts), and
// a cell's number fits the 32-bit key of the bug index (findbug.h). Below
// it, memory is the limit: a map that cannot be had is refused.
constexpr int MAP_SIDE_LIMIT = 32767;

// What follows a map's writes as they happen. It must not write to the
// map it watches.
class map_watcher {
public:
    // `cell` (row x cols + col) was written, for the selected bug when
    // `selected`.
    virtual void written(size_t cell, bool selected) = 0;
    // Any cell may have changed: the map was opened, or whole rows put.
    virtual void rewritten() = 0;

protected:
    ~map_watcher() = default;
};

class world_map {
public:
    world_map() = default;
    // A copy of the glyphs: the watchers follow the map they watch.
    world_map(const world_map &other) : rows_(other.rows_), cols_(other.cols_), glyphs_(other.glyphs_) {}
    world_map &operator=(const world_map &) = delete;

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
    // bug, and tells the watchers. Glyphs are printable ASCII; anything
    // else, and a cell off the map, writes nothing.
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

    // Tells `w` of every write from now on, until unwatch: any number of
    // watchers, each told in the order they came. Watching leaves the map
    // as it is, so a map read only can be watched. A watcher goes before
    // the map does.
    void watch(map_watcher *w) const { watchers_.push_back(w); }
    void unwatch(map_watcher *w) const;

private:
    void tell(size_t cell, bool selected) const;
    void tell_rewritten() const;

    int rows_ = 0, cols_ = 0;
    std::vector<char> glyphs_;
    mutable std::vector<map_watcher *> watchers_;
};

}  // namespace common

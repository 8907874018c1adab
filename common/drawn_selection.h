// The cells drawn for the selected bug: what a display shows in standout
// and a saved world keeps. Not the map's: a run keeps this record, which
// follows the map's writes, and a display or a save asks it.
#pragma once

#include <algorithm>
#include <cstddef>

#include "common/map.h"

namespace common {

// The most cells drawn for the selected bug at once: its own, and that of
// the bug selected before the keys last changed the selection, until that
// bug's next turn. (Within a pass the selection moves only when the
// selected bug dies, and its death rewrites its cell.)
constexpr size_t SELECTED_CELLS = 2;

// The cells whose last write was for the selected bug, the latest last.
class selected_cells {
public:
    size_t size() const { return count_; }
    const size_t *begin() const { return cells_; }
    const size_t *end() const { return cells_ + count_; }
    bool has(size_t cell) const { return std::find(begin(), end(), cell) != end(); }

    // After a write of `cell`, `selected` when for the selected bug. Most
    // writes are of cells not drawn for it: a look at two.
    void note(size_t cell, bool selected)
    {
        if (!selected && !has(cell))
            return;
        count_ = static_cast<size_t>(std::remove(cells_, cells_ + count_, cell) - cells_);
        if (!selected)
            return;
        if (count_ == SELECTED_CELLS) {  // never, by the rules
            std::copy(cells_ + 1, cells_ + count_, cells_);
            count_--;
        }
        cells_[count_++] = cell;
    }

    void clear() { count_ = 0; }

private:
    size_t cells_[SELECTED_CELLS] = {};
    size_t count_ = 0;
};

// A run's record of the selected bug's cells, kept as the map it watches
// is written, from `cells` on (those of a resumed world).
class selection_record final : public map_watcher {
public:
    explicit selection_record(const world_map &map, const selected_cells &cells = {}) : map_(map), cells_(cells)
    {
        map_.watch(this);
    }
    selection_record(const selection_record &) = delete;
    selection_record &operator=(const selection_record &) = delete;
    ~selection_record() { map_.unwatch(this); }

    const selected_cells &cells() const { return cells_; }
    void restore(const selected_cells &cells) { cells_ = cells; }

    void written(size_t cell, bool selected) override { cells_.note(cell, selected); }
    void rewritten() override { cells_.clear(); }

private:
    const world_map &map_;
    selected_cells cells_;
};

}  // namespace common

// The map as the screen shows it: a curses pad as large as the world,
// which catches up with the world's map when it is to be shown, in the
// map's colours, the selected bug's cells in standout. It watches the map
// for what was written since it last caught up, and never changes it;
// any number of views can watch one map.
#pragma once

#include <curses.h>
#include <cstdint>
#include <vector>

#include "screen/colour.h"
#include "common/drawn_selection.h"
#include "common/map.h"

namespace common {

// The largest pad on a side that curses makes.
constexpr int PAD_SIDE_LIMIT = 32767;

class map_view final : public map_watcher {
public:
    // A view that shows `standout`'s cells in standout (none without).
    explicit map_view(const selected_cells *standout = nullptr) : standout_(standout) {}
    map_view(const map_view &) = delete;
    map_view &operator=(const map_view &) = delete;
    ~map_view() { close(); }

    // A pad for `map`, blank, watching it; false when curses cannot make
    // one so large (beyond PAD_SIDE_LIMIT on a side, or out of memory).
    bool open(const world_map &map);
    void close();

    WINDOW *pad() const { return pad_; }

    glyph_colours colours;  // the map's colours, none unless set up

    // Brings the pad up to date with the map it watches, drawing it whole
    // the first time and then what was written since: before it is shown
    // or read.
    void catch_up();

    void written(size_t cell, bool selected) override;
    void rewritten() override;

private:
    bool in_standout(size_t cell) const { return standout_ != nullptr && standout_->has(cell); }
    chtype shown_of(const world_map &map, size_t cell) const;
    void draw_all(const world_map &map);

    const selected_cells *standout_;
    const world_map *watched_ = nullptr;
    WINDOW *pad_ = nullptr;
    bool drawn_ = false;        // the whole map has been drawn once
    std::vector<chtype> line_;  // a row being drawn: made with the pad, so drawing never allocates
    // The cells written since the view last caught up (all of them, once
    // there are many): maps are at most 32767 cells on a side.
    std::vector<uint32_t> changed_;
    bool all_changed_ = false;
};

}  // namespace common

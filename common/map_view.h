// The map as the screen shows it: a curses pad as large as the world,
// which catches up with the world's map when it is to be shown, in the
// map's colours, the selected bug's cell in standout. It reads the map
// and never changes it.
#pragma once

#include <curses.h>
#include <vector>

#include "common/colour.h"
#include "common/map.h"

namespace common {

class map_view {
public:
    map_view() = default;
    map_view(const map_view &) = delete;
    map_view &operator=(const map_view &) = delete;
    ~map_view() { close(); }

    // A pad for `map`, blank; false when curses cannot make one so large.
    bool open(const world_map &map);
    void close();

    WINDOW *pad() const { return pad_; }

    glyph_colours colours;  // the map's colours, none unless set up

    // Brings the pad up to date with the map, drawing it whole the first
    // time and then what was written since: before it is shown or read.
    void catch_up(const world_map &map);

private:
    chtype shown_of(const world_map &map, size_t cell) const;
    void draw_all(const world_map &map);

    WINDOW *pad_ = nullptr;
    bool drawn_ = false;        // the whole map has been drawn once
    std::vector<chtype> line_;  // a row being drawn: made with the pad, so drawing never allocates
};

}  // namespace common

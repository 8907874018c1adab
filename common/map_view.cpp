#include "common/map_view.h"

#include <algorithm>
#include <new>


namespace common {

bool map_view::open(const world_map &map)
{
    close();
    pad_ = newpad(map.rows(), map.cols());
    if (pad_ == nullptr)
        return false;
    drawn_ = false;
    try {
        line_.assign(static_cast<size_t>(map.cols()) + 1, 0);
    } catch (const std::bad_alloc &) {
        close();
        return false;
    }
    return true;
}

void map_view::close()
{
    if (pad_ != nullptr)
        delwin(pad_);
    pad_ = nullptr;
    std::vector<chtype>().swap(line_);
}

// The pad's look of a cell: its glyph, in the glyph's colour (none without
// colour), in standout when it was drawn for the selected bug.
chtype map_view::shown_of(const world_map &map, size_t cell) const
{
    char glyph = map.read(static_cast<int>(cell / map.cols()), static_cast<int>(cell % map.cols()));
    const std::vector<size_t> &selected = map.selected_cells();
    bool standout = std::find(selected.begin(), selected.end(), cell) != selected.end();
    return static_cast<chtype>(static_cast<unsigned char>(glyph)) | colours.of(glyph) | (standout ? A_STANDOUT : 0);
}

void map_view::draw_all(const world_map &map)
{
    size_t cols = static_cast<size_t>(map.cols());
    for (int row = 0; row < map.rows(); row++) {
        const char *glyphs = map.row(row);
        for (size_t col = 0; col < cols; col++)
            line_[col] = static_cast<chtype>(static_cast<unsigned char>(glyphs[col])) | colours.of(glyphs[col]);
        for (size_t cell : map.selected_cells())
            if (cell / cols == static_cast<size_t>(row))
                line_[cell % cols] |= A_STANDOUT;
        mvwaddchnstr(pad_, row, 0, line_.data(), map.cols());
    }
}

// The cells written since, while they are few, or the whole map, once so
// many have been written (the terrain, a long run without a display) that
// drawing it all anew row by row is cheaper.
void map_view::catch_up(const world_map &map)
{
    if (!drawn_ || map.all_changed()) {
        draw_all(map);
        drawn_ = true;
    } else {
        size_t cols = static_cast<size_t>(map.cols());
        for (uint32_t cell : map.changed()) {
            chtype shown = shown_of(map, cell);
            mvwaddchnstr(pad_, static_cast<int>(cell / cols), static_cast<int>(cell % cols), &shown, 1);
        }
    }
    map.forget_changes();
}

}  // namespace common

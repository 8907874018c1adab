#include "screen/map_view.h"

#include <new>

namespace common {

bool map_view::open(const world_map &map)
{
    close();
    if (map.rows() > PAD_SIDE_LIMIT || map.cols() > PAD_SIDE_LIMIT)
        return false;
    pad_ = newpad(map.rows(), map.cols());
    if (pad_ == nullptr)
        return false;
    drawn_ = false;
    all_changed_ = false;
    try {
        line_.assign(static_cast<size_t>(map.cols()) + 1, 0);
        // Room for a fiftieth of the cells: more than a crowded world's
        // bugs write in a pass, which is how often a display catches up.
        changed_.reserve(static_cast<size_t>(map.rows()) * static_cast<size_t>(map.cols()) / 50 + 1);
        map.watch(this);
    } catch (const std::bad_alloc &) {
        close();
        return false;
    }
    watched_ = &map;
    return true;
}

void map_view::close()
{
    if (watched_ != nullptr)
        watched_->unwatch(this);
    watched_ = nullptr;
    if (pad_ != nullptr)
        delwin(pad_);
    pad_ = nullptr;
    std::vector<chtype>().swap(line_);
    std::vector<uint32_t>().swap(changed_);
}

void map_view::written(size_t cell, bool)
{
    if (all_changed_ || (!changed_.empty() && changed_.back() == cell))
        return;
    if (changed_.size() < changed_.capacity()) {
        changed_.push_back(static_cast<uint32_t>(cell));
    } else {
        all_changed_ = true;
        changed_.clear();
    }
}

void map_view::rewritten()
{
    all_changed_ = true;
    changed_.clear();
}

// The pad's look of a cell: its glyph, in the glyph's colour (none without
// colour), in standout when it was drawn for the selected bug.
chtype map_view::shown_of(const world_map &map, size_t cell) const
{
    char glyph = map.read(static_cast<int>(cell / map.cols()), static_cast<int>(cell % map.cols()));
    return static_cast<chtype>(static_cast<unsigned char>(glyph)) | colours.of(glyph) |
           (in_standout(cell) ? A_STANDOUT : 0);
}

void map_view::draw_all(const world_map &map)
{
    size_t cols = static_cast<size_t>(map.cols());
    for (int row = 0; row < map.rows(); row++) {
        const char *glyphs = map.row(row);
        for (size_t col = 0; col < cols; col++)
            line_[col] = static_cast<chtype>(static_cast<unsigned char>(glyphs[col])) | colours.of(glyphs[col]);
        if (standout_ != nullptr)
            for (size_t cell : *standout_)
                if (cell / cols == static_cast<size_t>(row))
                    line_[cell % cols] |= A_STANDOUT;
        mvwaddchnstr(pad_, row, 0, line_.data(), map.cols());
    }
}

// The cells written since, while they are few, or the whole map, once so
// many have been written (the terrain, a long run without a display) that
// drawing it all anew row by row is cheaper.
void map_view::catch_up()
{
    if (watched_ == nullptr)
        return;
    const world_map &map = *watched_;
    if (!drawn_ || all_changed_) {
        draw_all(map);
        drawn_ = true;
    } else {
        size_t cols = static_cast<size_t>(map.cols());
        for (uint32_t cell : changed_) {
            chtype shown = shown_of(map, cell);
            mvwaddchnstr(pad_, static_cast<int>(cell / cols), static_cast<int>(cell % cols), &shown, 1);
        }
    }
    changed_.clear();
    all_changed_ = false;
}

}  // namespace common

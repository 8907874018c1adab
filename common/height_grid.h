// The height field of a terrain generation: one height per map cell,
// h[column][row], held for the time of one generation.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

#include "common/map.h"
#include "common/outcome.h"

namespace common {

class height_grid {
public:
    // Throws std::bad_alloc when the memory cannot be had.
    height_grid(int cols, int rows)
        : rows_(static_cast<size_t>(rows)), cells_(static_cast<size_t>(cols) * static_cast<size_t>(rows))
    {
    }
    int &at(int col, int row) { return cells_[static_cast<size_t>(col) * rows_ + static_cast<size_t>(row)]; }

private:
    size_t rows_;
    std::vector<int> cells_;
};

// Runs `generate` on a grid of the map's size; a grid that cannot be had
// refuses the world: too large.
template <class F>
void with_height_grid(const world_map &map, F generate)
{
    try {
        height_grid h(map.cols(), map.rows());
        generate(h);
    } catch (const std::bad_alloc &) {
        end_world(outcome::too_large, "world too large\n");
    }
}

}  // namespace common

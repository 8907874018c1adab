// The height field of a terrain generation: one height per map cell,
// h[column][row], held for the time of one generation.
#pragma once

#include <cstddef>
#include <vector>

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

}  // namespace common

// Pictures of saved worlds: `terrarium-lab render`.
#pragma once

#include <string>

namespace lab {

struct render_options {
    std::string picture;  // .png or .svg, by its extension
    long scale = 1;       // pixels on a cell's side
    bool density = false; // bugs per block as a heatmap over the terrain
    long block = 10;      // the heatmap's block, in cells on a side
};

// Draws the world saved at `path` into options.picture: each cell in the
// map's colour (blank black, water blue, mountains grey, food green by its
// stage, a bug its race's colour), or with `density` the terrain under a
// heatmap of the bugs in each block. Returns the exit status: 0; the world
// file's refusal (13, 9) or 1 when the picture cannot be written whole (no
// part of it is left), with one line on the error stream.
int render(const std::string &path, const render_options &options);

}  // namespace lab

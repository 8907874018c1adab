#include "vivarium/terrain.h"

#include <cstdlib>
#include <new>

#include "common/term.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"

namespace vivarium {

namespace {

// Heights by column and row for the duration of one generation.
struct field {
    std::vector<int> h;
    int rows;
    int &at(int col, int row) { return h[static_cast<size_t>(col) * rows + row]; }
};

// One sweep of level k over columns c0, c0 + 2k, ... and, within each,
// rows r0, r0 + 2k, .... A cell that lies between known cells along an
// axis (an offset of k on it) averages its two neighbours at distance k on
// that axis; a centre cell (offset on both) averages all four. Neighbours
// never fall off the grid, whose size is 8n + 1.
void sweep(field &f, int cols, int c0, int r0, int k, int (*draw)())
{
    for (int c = c0; c < cols; c += 2 * k)
        for (int r = r0; r < f.rows; r += 2 * k) {
            int d = displacement(draw(), k);
            int sum = 0, n = 0;
            if (c0 != 0) {
                sum += f.at(c - k, r) + f.at(c + k, r);
                n += 2;
            }
            if (r0 != 0) {
                sum += f.at(c, r - k) + f.at(c, r + k);
                n += 2;
            }
            f.at(c, r) = sum / n + d;
        }
}

int draw_rand() { return std::rand(); }

}  // namespace

int displacement(int r, int k) { return r % (4 * k + 1) - 2 * k; }

char terrain_glyph(int height)
{
    if (height <= 19)
        return '~';
    if (height >= 81)
        return '#';
    return ' ';
}

std::vector<int> height_field(int cols, int rows, int (*draw)())
{
    field f{std::vector<int>(static_cast<size_t>(cols) * rows), rows};
    for (int c = 0; c < cols; c += SEED_SPACING)
        for (int r = 0; r < rows; r += SEED_SPACING)
            f.at(c, r) = draw() % 101;
    for (int k = SEED_SPACING / 2; k >= 1; k /= 2) {
        sweep(f, cols, k, 0, k, draw);  // midpoints along rows
        sweep(f, cols, 0, k, k, draw);  // midpoints along columns
        sweep(f, cols, k, k, k, draw);  // centres
    }
    return std::move(f.h);
}

void generateterrain()
{
    std::vector<int> h;
    try {
        h = height_field(map_cols, map_rows, draw_rand);
    } catch (const std::bad_alloc &) {
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    }
    for (int c = 0; c < map_cols; c++)
        for (int r = 0; r < map_rows; r++) {
            char glyph = terrain_glyph(h[static_cast<size_t>(c) * map_rows + r]);
            if (glyph != ' ')
                put_glyph(r, c, glyph);
        }
}

}  // namespace vivarium

#include "vivarium/terrain.h"

#include <cstdlib>

#include "common/height_grid.h"
#include "common/random.h"
#include "vivarium/globals.h"

namespace vivarium {

namespace {

using common::height_grid;

// One sweep of level k over columns c0, c0 + 2k, ... and, within each,
// rows r0, r0 + 2k, .... A cell that lies between known cells along an
// axis (an offset of k on it) averages its two neighbours at distance k on
// that axis; a centre cell (offset on both) averages all four. Neighbours
// never fall off the grid, whose size is 8n + 1.
void sweep(height_grid &h, int c0, int r0, int k)
{
    for (int c = c0; c < world_col; c += 2 * k)
        for (int r = r0; r < world_row; r += 2 * k) {
            int d = displacement(world_random.next(), k);
            int sum = 0, n = 0;
            if (c0 != 0) {
                sum += h.at(c - k, r) + h.at(c + k, r);
                n += 2;
            }
            if (r0 != 0) {
                sum += h.at(c, r - k) + h.at(c, r + k);
                n += 2;
            }
            h.at(c, r) = sum / n + d;
        }
}

void generate(height_grid &h)
{
    for (int c = 0; c < world_col; c += SEED_SPACING)
        for (int r = 0; r < world_row; r += SEED_SPACING)
            h.at(c, r) = world_random.next() % 101;
    for (int k = SEED_SPACING / 2; k >= 1; k /= 2) {
        sweep(h, k, 0, k);  // midpoints along rows
        sweep(h, 0, k, k);  // midpoints along columns
        sweep(h, k, k, k);  // centres
    }
    for (int c = 0; c < world_col; c++)
        for (int r = 0; r < world_row; r++) {
            char glyph = terrain_glyph(h.at(c, r));
            if (glyph != ' ')
                cell_write(r, c, glyph);
        }
}

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

void generateterrain()
{
    common::with_height_grid(generate);
}

}  // namespace vivarium

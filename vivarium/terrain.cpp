#include "vivarium/terrain.h"

#include <cstdlib>

#include "common/height_grid.h"
#include "vivarium/world.h"

namespace vivarium {

namespace {

using common::height_grid;

// One sweep of level k over columns c0, c0 + 2k, ... and, within each,
// rows r0, r0 + 2k, .... A cell that lies between known cells along an
// axis (an offset of k on it) averages its two neighbours at distance k on
// that axis; a centre cell (offset on both) averages all four. Neighbours
// never fall off the grid, whose size is 8n + 1.
void sweep(world &w, height_grid &h, int c0, int r0, int k)
{
    for (int c = c0; c < w.map.cols(); c += 2 * k)
        for (int r = r0; r < w.map.rows(); r += 2 * k) {
            int d = displacement(w.random.next(), k);
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

void generate(world &w, height_grid &h)
{
    for (int c = 0; c < w.map.cols(); c += SEED_SPACING)
        for (int r = 0; r < w.map.rows(); r += SEED_SPACING)
            h.at(c, r) = w.random.next() % 101;
    for (int k = SEED_SPACING / 2; k >= 1; k /= 2) {
        sweep(w, h, k, 0, k);  // midpoints along rows
        sweep(w, h, 0, k, k);  // midpoints along columns
        sweep(w, h, k, k, k);  // centres
    }
    for (int c = 0; c < w.map.cols(); c++)
        for (int r = 0; r < w.map.rows(); r++) {
            char glyph = terrain_glyph(h.at(c, r));
            if (glyph != ' ')
                w.map.write(r, c, glyph);
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

void generateterrain(world &w)
{
    common::with_height_grid(w.map, [&w](height_grid &h) { generate(w, h); });
}

}  // namespace vivarium

#include "terrarium/terrain.h"

#include <cmath>
#include <cstdlib>

#include "common/height_grid.h"
#include "common/random.h"
#include "terrarium/globals.h"

namespace terrarium {

namespace {

using common::height_grid;

// Offset range of one refinement level: D = (r mod modulus) - shift.
struct level {
    int modulus;
    double shift;
};

level level_for(int k)
{
    double l = std::log10(static_cast<double>(k));
    double rl = roughness * l;
    int modulus = static_cast<int>(2 * roughness * l + 1);
    return {modulus < 1 ? 1 : modulus, rl};
}

int displaced(int average, const level &lv)
{
    int r = world_random.next();
    double d = (r % lv.modulus) - lv.shift;
    return static_cast<int>(average + d);
}

// The neighbour beyond the right or lower edge is column or row 0.
int after(int at, int k, int n) { return at + k < n ? at + k : 0; }

void refine(height_grid &h, int k)
{
    level lv = level_for(k);
    for (int c = k; c < world_col; c += 2 * k)
        for (int r = 0; r < world_row; r += 2 * k)
            h.at(c, r) = displaced((h.at(c - k, r) + h.at(after(c, k, world_col), r)) / 2, lv);
    for (int c = 0; c < world_col; c += 2 * k)
        for (int r = k; r < world_row; r += 2 * k)
            h.at(c, r) = displaced((h.at(c, r - k) + h.at(c, after(r, k, world_row))) / 2, lv);
    for (int c = k; c < world_col; c += 2 * k)
        for (int r = k; r < world_row; r += 2 * k) {
            int sum = h.at(c, r - k) + h.at(c, after(r, k, world_row)) + h.at(after(c, k, world_col), r) +
                      h.at(c - k, r);
            h.at(c, r) = displaced(sum / 4, lv);
        }
}

void classify(height_grid &h)
{
    wtr_c = 0;
    mnt_c = 0;
    for (int c = 0; c < world_col; c++)
        for (int r = 0; r < world_row; r++) {
            int height = h.at(c, r);
            if (height < 1) {
                cell_write(r, c, '~');
                wtr_c++;
            } else if (height > 99) {
                cell_write(r, c, '#');
                mnt_c++;
            }
        }
}

void generate(height_grid &h)
{
    int spacing = 1 << grid_size;
    for (int c = 0; c < world_col; c += spacing)
        for (int r = 0; r < world_row; r += spacing)
            h.at(c, r) = world_random.next() % 101;
    for (int k = spacing / 2; k >= 1; k /= 2)
        refine(h, k);
    classify(h);
}

}  // namespace

bool enough_ground(long long area, long long water, long long mountain)
{
    return 10 * (area - water - mountain) > area;
}

void generateterrain()
{
    common::with_height_grid(generate);
    if (!enough_ground(static_cast<long long>(world_col) * world_row, wtr_c, mnt_c))
        stop_with(common::EXIT_BAD_TERRAIN,
                  text_of("bad terrain\ntoo little open ground: try a lower -r than %d\n", roughness).c_str());
}

}  // namespace terrarium

#include "terrarium/terrain.h"

#include <cmath>
#include <cstdlib>

#include "common/height_grid.h"
#include "terrarium/world.h"

namespace terrarium {

namespace {

using common::height_grid;

// Offset range of one refinement level: D = (r mod modulus) - shift.
struct level {
    int modulus;
    double shift;
};

level level_for(int roughness, int k)
{
    double l = std::log10(static_cast<double>(k));
    double rl = roughness * l;
    int modulus = static_cast<int>(2 * roughness * l + 1);
    return {modulus < 1 ? 1 : modulus, rl};
}

int displaced(common::random_stream &random, int average, const level &lv)
{
    int r = random.next();
    double d = (r % lv.modulus) - lv.shift;
    return static_cast<int>(average + d);
}

// The neighbour beyond the right or lower edge is column or row 0.
int after(int at, int k, int n) { return at + k < n ? at + k : 0; }

void refine(world &w, height_grid &h, int k)
{
    level lv = level_for(w.shape.roughness, k);
    const int cols = w.map.cols(), rows = w.map.rows();
    for (int c = k; c < cols; c += 2 * k)
        for (int r = 0; r < rows; r += 2 * k)
            h.at(c, r) = displaced(w.random, (h.at(c - k, r) + h.at(after(c, k, cols), r)) / 2, lv);
    for (int c = 0; c < cols; c += 2 * k)
        for (int r = k; r < rows; r += 2 * k)
            h.at(c, r) = displaced(w.random, (h.at(c, r - k) + h.at(c, after(r, k, rows))) / 2, lv);
    for (int c = k; c < cols; c += 2 * k)
        for (int r = k; r < rows; r += 2 * k) {
            int sum = h.at(c, r - k) + h.at(c, after(r, k, rows)) + h.at(after(c, k, cols), r) +
                      h.at(c - k, r);
            h.at(c, r) = displaced(w.random, sum / 4, lv);
        }
}

void classify(world &w, height_grid &h)
{
    w.water_cells = 0;
    w.mountain_cells = 0;
    for (int c = 0; c < w.map.cols(); c++)
        for (int r = 0; r < w.map.rows(); r++) {
            int height = h.at(c, r);
            if (height < 1) {
                w.map.write(r, c, '~');
                w.water_cells++;
            } else if (height > 99) {
                w.map.write(r, c, '#');
                w.mountain_cells++;
            }
        }
}

void generate(world &w, height_grid &h)
{
    int spacing = 1 << w.shape.grid_size;
    for (int c = 0; c < w.map.cols(); c += spacing)
        for (int r = 0; r < w.map.rows(); r += spacing)
            h.at(c, r) = w.random.next() % 101;
    for (int k = spacing / 2; k >= 1; k /= 2)
        refine(w, h, k);
    classify(w, h);
}

}  // namespace

bool enough_ground(long long area, long long water, long long mountain)
{
    return 10 * (area - water - mountain) > area;
}

void generateterrain(world &w)
{
    common::with_height_grid(w.map, [&w](height_grid &h) { generate(w, h); });
    if (!enough_ground(static_cast<long long>(w.map.cols()) * w.map.rows(), w.water_cells, w.mountain_cells))
        end_world(outcome::bad_terrain,
                  text_of("bad terrain\ntoo little open ground: try a lower -r than %d\n", w.shape.roughness));
}

}  // namespace terrarium

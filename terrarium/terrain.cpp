#include "terrarium/terrain.h"

#include <cmath>
#include <cstdlib>
#include <sys/mman.h>

#include "common/term.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"

namespace terrarium {

namespace {

// Heights by column and row, h[column][row], for the duration of one call.
// On big worlds the grid is tens of megabytes: it is mapped with huge pages
// where the system allows them, one page fault per 2 MB instead of one per
// 4 KB (a fault costs microseconds on a virtual machine).
struct height_grid {
    int *cells;
    int rows;
    size_t bytes;
    int &at(int col, int row) { return cells[static_cast<long>(col) * rows + row]; }
};

bool map_grid(height_grid &h, long long area)
{
    h.bytes = sizeof(int) * static_cast<size_t>(area);
    void *p = mmap(nullptr, h.bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return false;
#ifdef MADV_HUGEPAGE
    madvise(p, h.bytes, MADV_HUGEPAGE);
#endif
    h.cells = static_cast<int *>(p);
    return true;
}

void unmap_grid(height_grid &h) { munmap(h.cells, h.bytes); }

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
    int r = std::rand();
    double d = (r % lv.modulus) - lv.shift;
    return static_cast<int>(average + d);
}

void refine(height_grid &h, int k)
{
    level lv = level_for(k);
    for (int c = k; c < world_col; c += 2 * k)
        for (int r = 0; r < world_row; r += 2 * k) {
            int right = c + k < world_col ? c + k : 0;
            h.at(c, r) = displaced((h.at(c - k, r) + h.at(right, r)) / 2, lv);
        }
    for (int c = 0; c < world_col; c += 2 * k)
        for (int r = k; r < world_row; r += 2 * k) {
            int down = r + k < world_row ? r + k : 0;
            h.at(c, r) = displaced((h.at(c, r - k) + h.at(c, down)) / 2, lv);
        }
    for (int c = k; c < world_col; c += 2 * k)
        for (int r = k; r < world_row; r += 2 * k) {
            int down = r + k < world_row ? r + k : 0;
            int right = c + k < world_col ? c + k : 0;
            int sum = h.at(c, r - k) + h.at(c, down) + h.at(right, r) + h.at(c - k, r);
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
                put_glyph(r, c, '~');
                wtr_c++;
            } else if (height > 99) {
                put_glyph(r, c, '#');
                mnt_c++;
            }
        }
}

}  // namespace

bool enough_ground(long long area, long long water, long long mountain)
{
    return 10 * (area - water - mountain) > area;
}

void generateterrain()
{
    long long area = static_cast<long long>(world_col) * world_row;
    height_grid h{nullptr, world_row, 0};
    if (!map_grid(h, area))
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    int spacing = 1 << grid_size;
    for (int c = 0; c < world_col; c += spacing)
        for (int r = 0; r < world_row; r += spacing)
            h.at(c, r) = std::rand() % 101;
    for (int k = spacing / 2; k >= 1; k /= 2)
        refine(h, k);
    classify(h);
    unmap_grid(h);
    if (!enough_ground(area, wtr_c, mnt_c))
        stop_with(EXIT_BAD_TERRAIN, "bad terrain\n");
}

}  // namespace terrarium

#include "common/birth.h"

#include <cstdlib>

#include "common/random.h"

namespace common {

namespace {

// Tries of the child-cell search before the map is checked for any blank
// cell at all; the search goes on as long as one exists.
constexpr int TRIES_BEFORE_SCAN = 64;

bool map_has_blank()
{
    for (int row = 0; row < world_row; row++)
        for (int col = 0; col < world_col; col++)
            if (map_row(row)[col] == ' ')
                return true;
    return false;
}

// A value drawn from the closed range between a and b taken as plain
// numbers; negative draws are drawn again.
int draw_between(int a, int b)
{
    int low = a < b ? a : b;
    int high = a < b ? b : a;
    int v;
    do
        v = low + world_random.next() % (high - low + 1);
    while (v < 0);
    return v;
}

// One coordinate of a try: the box of spread k around `at`, on an axis of
// `n` cells. The low end uses the truncating remainder, as the box allows.
int draw_coordinate(int at, int n, int k)
{
    int low = (at + n - 1 - world_random.next() % k) % n;
    int high = (at + 1 + world_random.next() % k) % n;
    return draw_between(low, high);
}

}  // namespace

void mix_genes(gene_t *child, const gene_t *parent, const gene_t *partner, int genes)
{
    for (int i = 0; i < genes; i++) {
        int s = world_random.next() % 9;
        if (s == 1 || s == 3 || s == 5)
            child[i] = partner[i];
        else if (s == 7)
            child[i] = static_cast<gene_t>(world_random.next() % 4);
        else
            child[i] = parent[i];
    }
}

bool find_child_cell(int y, int x, int *row, int *col)
{
    for (int k = 1;; k++) {
        if (k == TRIES_BEFORE_SCAN + 1 && !map_has_blank())
            return false;
        *row = draw_coordinate(y, world_row, k);
        *col = draw_coordinate(x, world_col, k);
        if (cell_read(*row, *col) == ' ')
            return true;
    }
}

}  // namespace common

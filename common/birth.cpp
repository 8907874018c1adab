#include "common/birth.h"

#include <cstdio>
#include <cstdlib>

#include "common/cell.h"

namespace {

// Tries of the child-cell search before the map is checked for any blank
// cell at all; the search goes on as long as one exists.
constexpr int TRIES_BEFORE_SCAN = 64;

bool map_has_blank(WINDOW *pad, int rows, int cols)
{
    char glyph = 0;
    for (int row = 0; row < rows; row++)
        for (int col = 0; col < cols; col++)
            if (cell_read(pad, row, col, &glyph) == 0 && glyph == ' ')
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
        v = low + std::rand() % (high - low + 1);
    while (v < 0);
    return v;
}

// One coordinate of a try: the box of spread k around `at`, on an axis of
// `n` cells. The low end uses the truncating remainder, as the box allows.
int draw_coordinate(int at, int n, int k)
{
    int low = (at + n - 1 - std::rand() % k) % n;
    int high = (at + 1 + std::rand() % k) % n;
    return draw_between(low, high);
}

}  // namespace

bool faced_cell(int vector, int y, int x, int rows, int cols, int *row, int *col)
{
    switch (vector) {
    case 0: *row = (rows + y - 1) % rows; *col = x; return true;
    case 1: *row = y; *col = (x + 1) % cols; return true;
    case 2: *row = (y + 1) % rows; *col = x; return true;
    case 3: *row = y; *col = (cols + x - 1) % cols; return true;
    default:
        std::fputs("default in mate find bugs->vector is bad\n", stderr);
        return false;
    }
}

void mix_genes(int *child, const int *parent, const int *partner, int genes)
{
    for (int i = 0; i < genes; i++) {
        int s = std::rand() % 9;
        if (s == 1 || s == 3 || s == 5)
            child[i] = partner[i];
        else if (s == 7)
            child[i] = std::rand() % 4;
        else
            child[i] = parent[i];
    }
}

bool find_child_cell(WINDOW *pad, int rows, int cols, int y, int x, int *row, int *col)
{
    char glyph = 0;
    for (int k = 1;; k++) {
        if (k == TRIES_BEFORE_SCAN + 1 && !map_has_blank(pad, rows, cols))
            return false;
        *row = draw_coordinate(y, rows, k);
        *col = draw_coordinate(x, cols, k);
        if (cell_read(pad, *row, *col, &glyph) == 0 && glyph == ' ')
            return true;
    }
}

#include "common/birth.h"

#include <climits>

namespace common {

namespace {

// Tries of the child-cell search before the map is checked for any blank
// cell at all; the search goes on as long as one exists, up to the widest
// box whose bounds an int holds (further, they would overflow): a birth
// that has found no cell by then does not happen.
constexpr int TRIES_BEFORE_SCAN = 64;
constexpr int LAST_TRY = INT_MAX - MAP_SIDE_LIMIT;

// The most draws of a value that keep coming out negative; then 0 is
// taken. No run comes near it: each draw is 0 or more with a chance of at
// least 1 in 2 x MAP_SIDE_LIMIT, so 2^31 negative ones in a row have a
// chance below e^-32000.
constexpr long REDRAWS = 1L << 31;

bool map_has_blank(const world_map &map)
{
    for (int row = 0; row < map.rows(); row++)
        for (int col = 0; col < map.cols(); col++)
            if (map.row(row)[col] == ' ')
                return true;
    return false;
}

// A value drawn from the closed range between a and b taken as plain
// numbers; negative draws are drawn again.
int draw_between(random_stream &random, int a, int b)
{
    int low = a < b ? a : b;
    int high = a < b ? b : a;
    int v = 0;
    for (long tries = 0; tries < REDRAWS; tries++)
        if ((v = low + random.next() % (high - low + 1)) >= 0)
            return v;
    return 0;
}

// One coordinate of a try: the box of spread k around `at`, on an axis of
// `n` cells. The low end uses the truncating remainder, as the box allows.
int draw_coordinate(random_stream &random, int at, int n, int k)
{
    int low = (at + n - 1 - random.next() % k) % n;
    int high = (at + 1 + random.next() % k) % n;
    return draw_between(random, low, high);
}

}  // namespace

void mix_genes(random_stream &random, gene_t *child, const gene_t *parent, const gene_t *partner, int genes)
{
    for (int i = 0; i < genes; i++) {
        int s = random.next() % 9;
        if (s == 1 || s == 3 || s == 5)
            child[i] = partner[i];
        else if (s == 7)
            child[i] = static_cast<gene_t>(random.next() % 4);
        else
            child[i] = parent[i];
    }
}

bool find_child_cell(world_base &w, int y, int x, int *row, int *col)
{
    for (int k = 1; k <= LAST_TRY; k++) {
        if (k == TRIES_BEFORE_SCAN + 1 && !map_has_blank(w.map))
            return false;
        *row = draw_coordinate(w.random, y, w.map.rows(), k);
        *col = draw_coordinate(w.random, x, w.map.cols(), k);
        if (w.map.read(*row, *col) == ' ')
            return true;
    }
    return false;
}

}  // namespace common

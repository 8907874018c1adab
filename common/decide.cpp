#include "common/decide.h"

namespace common {

namespace {

bool is_turn(int gene) { return gene == TURN_LEFT || gene == TURN_RIGHT; }

// The gene if it is a turn, else a random turn.
int turn_by_gene(random_stream &random, int gene) { return is_turn(gene) ? gene : 1 + random.next() % 2; }

}  // namespace

int decide(random_stream &random, float f, float l, float r, int g, bool open)
{
    if (!(f > 0) && !(l > 0) && !(r > 0)) {
        if (g == STEP && !open)
            return random.next() % 3;
        return g;
    }
    if (f > l && f > r)
        return open ? STEP : turn_by_gene(random, g);
    if (l > r && l > f)
        return TURN_LEFT;
    if (r > l && r > f)
        return TURN_RIGHT;
    if (l == r && r > f)
        return turn_by_gene(random, g);
    if (f == r && r > l) {
        if (!open)
            return TURN_RIGHT;
        return (g == TURN_RIGHT || g == STEP) ? g : 2 + random.next() % 2;
    }
    if (f == l && l > r) {
        if (!open)
            return TURN_LEFT;
        if (g == TURN_LEFT || g == STEP)
            return g;
        return (random.next() % 2 == 1) ? TURN_LEFT : STEP;
    }
    if (open)
        return g == REST ? 1 + random.next() % 3 : g;
    return turn_by_gene(random, g);
}

}  // namespace common

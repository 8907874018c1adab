#include "vivarium/look.h"


#include "common/direction.h"
#include "vivarium/motive.h"
#include "vivarium/world.h"
#include "vivarium/mate_die.h"

namespace vivarium {

namespace {

// Food above which a bug mates with its race ahead.
constexpr int MATING_FOOD = 600;
// Food gained by eating ripe food.
constexpr int MEAL = 20;

int m(const world &w, int a, int b) { return motivate(w.refs.cursor, peek(w, a, b)); }

bool bare(const world &w, int a, int b) { return peek(w, a, b) == ' '; }

// Cells ahead: only over bare ground ahead, and the far ones only over
// bare ground two ahead. The front diagonals count here and for their side.
int ahead_score(const world &w)
{
    if (!bare(w, 1, 0))
        return 0;
    int score = m(w, 2, 0);
    if (bare(w, 2, 0))
        score += m(w, 3, 0) + m(w, 2, -1) + m(w, 2, 1);
    return score + m(w, 1, -1) + m(w, 1, 1);
}

// Cells to one side, s = -1 (left) or +1 (right): the near cell hides all
// the others unless it is bare ground.
int side_score(const world &w, int s)
{
    int score = m(w, 0, s);
    if (!bare(w, 0, s))
        return score;
    score += m(w, 0, 2 * s);
    if (bare(w, 0, 2 * s))
        score += m(w, 0, 3 * s) + m(w, 1, 2 * s);
    return score + m(w, 1, s);
}

}  // namespace

char peek(const world &w, int a, int b)
{
    const bug *me = w.refs.cursor;
    return common::glyph_towards(w.map, me->facing, me->y, me->x, a, b);
}

scores score_cells(const world &w) { return {ahead_score(w), side_score(w, -1), side_score(w, 1)}; }

int behave(world &w)
{
    bug *me = w.refs.cursor;
    char ahead = peek(w, 1, 0);
    if (ahead == me->race && me->food > MATING_FOOD) {
        mate(w);
        return REST;
    }
    // No taste involved: ripe food ahead is always eaten.
    if (ahead == me->food_glyph) {
        placefood(w);
        me->food += MEAL;
        return STEP;
    }
    scores s = score_cells(w);
    return common::decide(w.random, static_cast<float>(s.ahead), static_cast<float>(s.left),
                          static_cast<float>(s.right), me->dna[w.phase], ahead == ' ');
}

}  // namespace vivarium

#include "vivarium/look.h"


#include "common/direction.h"
#include "vivarium/findbug.h"
#include "vivarium/globals.h"
#include "vivarium/mate_die.h"

namespace vivarium {

namespace {

// Food above which a bug mates with its race ahead.
constexpr int MATING_FOOD = 600;
// Food gained by eating ripe food.
constexpr int MEAL = 20;

int m(int a, int b) { return motivate(peek(a, b)); }

bool bare(int a, int b) { return peek(a, b) == ' '; }

// Cells ahead: only over bare ground ahead, and the far ones only over
// bare ground two ahead. The front diagonals count here and for their side.
int ahead_score()
{
    if (!bare(1, 0))
        return 0;
    int score = m(2, 0);
    if (bare(2, 0))
        score += m(3, 0) + m(2, -1) + m(2, 1);
    return score + m(1, -1) + m(1, 1);
}

// Cells to one side, s = -1 (left) or +1 (right): the near cell hides all
// the others unless it is bare ground.
int side_score(int s)
{
    int score = m(0, s);
    if (!bare(0, s))
        return score;
    score += m(0, 2 * s);
    if (bare(0, 2 * s))
        score += m(0, 3 * s) + m(1, 2 * s);
    return score + m(1, s);
}

}  // namespace

char peek(int a, int b) { return common::glyph_towards(refs.cursor->vector, refs.cursor->y, refs.cursor->x, a, b); }

scores score_cells() { return {ahead_score(), side_score(-1), side_score(1)}; }

int look(int phase)
{
    bug *me = refs.cursor;
    char ahead = peek(1, 0);
    if (ahead == me->race && me->food > MATING_FOOD) {
        mate();
        return REST;
    }
    // No taste involved: ripe food ahead is always eaten.
    if (ahead == me->food_glyph) {
        placefood();
        me->food += MEAL;
        return STEP;
    }
    scores s = score_cells();
    return common::decide(static_cast<float>(s.ahead), static_cast<float>(s.left), static_cast<float>(s.right),
                  me->dna[phase], ahead == ' ');
}

}  // namespace vivarium

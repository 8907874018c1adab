#include "terrarium/look.h"


#include "common/direction.h"
#include "terrarium/findbug.h"
#include "terrarium/globals.h"
#include "terrarium/mate_die.h"

namespace terrarium {

int look_c(int d) { return common::row_step[d & 3]; }

char peek(int a, int b) { return common::glyph_towards(bugs->vector, bugs->y, bugs->x, a, b); }

// The ray's cells are read out to its end, then their weights are added
// from the far end back, weight + rest as the ray's definition goes, so
// that every float sum rounds alike.
float look_b(int depth, int dir, int dy, int dx)
{
    constexpr int LONGEST = 16;  // beyond any vision a bug can have
    float weights[LONGEST];
    float rest = 0.0f;
    bool longer = false;
    int n = 0;
    const weigher weight(bugs);
    const int vision = bugs->vision, step_row = look_c(dir), step_col = look_c(dir + 1);
    // A true modulo keeps every ray cell on the map, however small it is;
    // after the first cell one step at a time goes round by one.
    int row = wrap(bugs->y + dy, world_row), col = wrap(bugs->x + dx, world_col);
    for (;;) {
        char glyph = cell_read(row, col);
        weights[n++] = weight(glyph, depth);
        if (!is_pass(glyph) || depth >= vision)
            break;
        depth++;
        dy += step_row;
        dx += step_col;
        row = wrap(row + step_row, world_row);
        col = wrap(col + step_col, world_col);
        if (n == LONGEST) {
            rest = look_b(depth, dir, dy, dx);
            longer = true;
            break;
        }
    }
    float total = longer ? weights[n - 1] + rest : weights[n - 1];
    for (int i = n - 2; i >= 0; i--)
        total = weights[i] + total;
    return total;
}

namespace {

// The attack on the bug standing ahead; always ends the turn with REST.
int fight(bug *victim)
{
    bug *me = bugs;
    if (attraction(me, '@') < 0)
        attraction(victim, me->race) -= me->size;
    victim->food -= me->size;
    if (victim->food < 0) {
        me->food += 60 * victim->size;
        attraction(me, victim->race) += victim->size;
        attraction(me, '@') -= victim->size;
        die(victim);
    }
    me->vision -= 1;
    return REST;
}

}  // namespace

int look(int phase)
{
    bug *me = bugs;
    char ahead = peek(1, 0);
    if (ahead == me->race && me->food > 60 * me->size) {
        mate();
        return REST;
    }
    if (attraction(me, ahead) > 0) {
        if (ahead == '@') {
            placefood();
            me->food += 15;
            return STEP;
        }
        if (is_bug(ahead) && ahead != me->race) {
            int row = wrap(me->y + look_c(me->vector), world_row);
            int col = wrap(me->x + look_c(me->vector + 1), world_col);
            bug *victim = findbug(row, col);
            // On a map one cell high or wide the cell ahead is the bug's own
            // cell; a bug never attacks itself.
            if (victim != me)
                return fight(victim);
        }
    }
    int v = me->vector;
    float ahead_total = look_b(1, v, look_c(v), look_c(v + 1));
    float right_total = look_b(2, v + 1, look_c(v + 1), look_c(v + 2));
    float left_total = look_b(2, v + 3, look_c(v + 3), look_c(v));
    float behind_total = look_b(3, v + 2, look_c(v + 2), look_c(v + 3));
    float forward = ahead_total - behind_total;
    return common::decide(forward, left_total, right_total, me->dna[phase], is_pass(ahead));
}

}  // namespace terrarium

#include "terrarium/look.h"


#include "common/direction.h"
#include "terrarium/findbug.h"
#include "terrarium/globals.h"
#include "terrarium/mate_die.h"

namespace terrarium {

int look_c(int d) { return common::row_step[d & 3]; }

char peek(int a, int b) { return common::glyph_towards(refs.cursor->vector, refs.cursor->y, refs.cursor->x, a, b); }

namespace {

// A ray as it is defined: its first cell's weight plus the rest of the ray
// from the next cell on, to a cell that blocks or to the bug's vision.
float ray(const weigher &weight, int depth, int dir, int dy, int dx)
{
    char glyph = cell_read(wrap(refs.cursor->y + dy, world_row), wrap(refs.cursor->x + dx, world_col));
    float first = weight(glyph, depth);
    if (!is_pass(glyph) || depth >= refs.cursor->vision)
        return first;
    return first + ray(weight, depth + 1, dir, dy + look_c(dir), dx + look_c(dir + 1));
}

}  // namespace

// The same sums as `ray`, faster: the cells are read out to the ray's end,
// then their weights are added from the far end back, so that every float
// sum rounds alike. A ray longer than any vision seen takes `ray` itself.
float look_b(int depth, int dir, int dy, int dx)
{
    constexpr int LONGEST = 16;
    const weigher weight(refs.cursor);
    const int vision = refs.cursor->vision;
    if (vision - depth >= LONGEST)
        return ray(weight, depth, dir, dy, dx);
    const int step_row = look_c(dir), step_col = look_c(dir + 1);
    // A true modulo keeps every ray cell on the map, however small it is;
    // after the first cell one step at a time goes round by one.
    int row = wrap(refs.cursor->y + dy, world_row), col = wrap(refs.cursor->x + dx, world_col);
    // Weights of 0 are left out: adding +0 changes no sum.
    float weights[LONGEST];
    int n = 0;
    for (;;) {
        char glyph = common::map_row(row)[col];
        float w = weight(glyph, depth);
        if (w != 0.0f)
            weights[n++] = w;
        if (!is_pass(glyph) || depth >= vision)
            break;
        depth++;
        row = wrap(row + step_row, world_row);
        col = wrap(col + step_col, world_col);
    }
    float total = n > 0 ? weights[n - 1] : 0.0f;
    for (int i = n - 2; i >= 0; i--)
        total = weights[i] + total;
    return total;
}

namespace {

// The attack on the bug standing ahead; always ends the turn with REST.
int fight(bug *victim)
{
    bug *me = refs.cursor;
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
    bug *me = refs.cursor;
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

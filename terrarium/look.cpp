#include "terrarium/look.h"


#include "common/direction.h"
#include "terrarium/weigh.h"
#include "terrarium/world.h"
#include "terrarium/mate_die.h"

namespace terrarium {

int step_of(int d) { return common::row_step[d & 3]; }

char peek(const world &w, int a, int b)
{
    const bug *me = w.refs.cursor;
    return common::glyph_towards(w.map, me->facing, me->y, me->x, a, b);
}

namespace {

// A ray as it is defined: its first cell's weight plus the rest of the ray
// from the next cell on, to a cell that blocks or to the bug's vision.
float ray(const world &w, const weigher &weight, int depth, int dir, int dy, int dx)
{
    const bug *me = w.refs.cursor;
    char glyph = w.map.read(wrap(me->y + dy, w.map.rows()), wrap(me->x + dx, w.map.cols()));
    float first = weight(glyph, depth);
    if (!is_pass(glyph) || depth >= me->vision)
        return first;
    return first + ray(w, weight, depth + 1, dir, dy + step_of(dir), dx + step_of(dir + 1));
}

}  // namespace

// The same sums as `ray`, faster: the cells are read out to the ray's end,
// then their weights are added from the far end back, so that every float
// sum rounds alike. A ray longer than any vision seen takes `ray` itself.
float ray_weight(const world &w, int depth, int dir, int dy, int dx)
{
    constexpr int LONGEST = 16;
    const bug *me = w.refs.cursor;
    const weigher weight(me);
    const int vision = me->vision;
    if (vision - depth >= LONGEST)
        return ray(w, weight, depth, dir, dy, dx);
    const int step_row = step_of(dir), step_col = step_of(dir + 1);
    // A true modulo keeps every ray cell on the map, however small it is;
    // after the first cell one step at a time goes round by one.
    const int rows = w.map.rows(), cols = w.map.cols();
    int row = wrap(me->y + dy, rows), col = wrap(me->x + dx, cols);
    // Weights of 0 are left out: adding +0 changes no sum.
    float weights[LONGEST];
    int n = 0;
    for (;;) {
        char glyph = w.map.row(row)[col];
        float w = weight(glyph, depth);
        if (w != 0.0f)
            weights[n++] = w;
        if (!is_pass(glyph) || depth >= vision)
            break;
        depth++;
        row = wrap(row + step_row, rows);
        col = wrap(col + step_col, cols);
    }
    float total = n > 0 ? weights[n - 1] : 0.0f;
    for (int i = n - 2; i >= 0; i--)
        total = weights[i] + total;
    return total;
}

namespace {

// The attack on the bug standing ahead; always ends the turn with REST.
int fight(world &w, bug *victim)
{
    bug *me = w.refs.cursor;
    if (attraction(me, '@') < 0)
        attraction(victim, me->race) -= me->size;
    victim->food -= me->size;
    if (victim->food < 0) {
        me->food += 60 * victim->size;
        attraction(me, victim->race) += victim->size;
        attraction(me, '@') -= victim->size;
        die(w, victim, me);
    }
    me->vision -= 1;
    return REST;
}

}  // namespace

int behave(world &w)
{
    bug *me = w.refs.cursor;
    char ahead = peek(w, 1, 0);
    if (ahead == me->race && me->food > 60 * me->size) {
        mate(w);
        return REST;
    }
    if (attraction(me, ahead) > 0) {
        if (ahead == '@') {
            placefood(w);
            me->food += 15;
            return STEP;
        }
        if (is_bug(ahead) && ahead != me->race) {
            int row = wrap(me->y + step_of(me->facing), w.map.rows());
            int col = wrap(me->x + step_of(me->facing + 1), w.map.cols());
            bug *victim = w.findbug(row, col);
            // On a map one cell high or wide the cell ahead is the bug's own
            // cell; a bug never attacks itself.
            if (victim != me)
                return fight(w, victim);
        }
    }
    int v = me->facing;
    float ahead_total = ray_weight(w, 1, v, step_of(v), step_of(v + 1));
    float right_total = ray_weight(w, 2, v + 1, step_of(v + 1), step_of(v + 2));
    float left_total = ray_weight(w, 2, v + 3, step_of(v + 3), step_of(v));
    float behind_total = ray_weight(w, 3, v + 2, step_of(v + 2), step_of(v + 3));
    float forward = ahead_total - behind_total;
    return common::decide(w.random, forward, left_total, right_total, me->dna[w.phase], is_pass(ahead));
}

}  // namespace terrarium

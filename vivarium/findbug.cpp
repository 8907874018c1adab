#include "vivarium/findbug.h"

namespace vivarium {

// The food level at which a bug is drawn neither to food nor to its kind.
constexpr int FED = 600;

int motivate(char glyph)
{
    const bug *me = refs.cursor;
    int score = 0;
    if (glyph == me->race && me->food > FED)
        score++;
    if (glyph == me->food_glyph && me->food < FED)
        score++;
    return score;
}

common::bug_index<bug> bugs_by_cell;

bug *findbug(int row, int col) { return common::find_on_cell(bugs_by_cell, refs.cursor, row, col); }

}  // namespace vivarium

#include "terrarium/findbug.h"

namespace terrarium {

int is_bug(char glyph) { return glyph >= 'A' && glyph <= 'Z'; }

int is_pass(char glyph) { return glyph != '~' && glyph != '#' && !is_bug(glyph); }

float motivate(char glyph, int depth)
{
    const bug *b = bugs;
    long long threshold = 60LL * b->size;
    if (b->food < threshold)
        return static_cast<float>(static_cast<double>(attraction(b, glyph)) / depth);
    if (glyph == b->race)
        return static_cast<float>(static_cast<double>(b->food - threshold) / depth);
    return static_cast<float>(static_cast<double>(attraction(b, glyph)) / (2.0 * depth));
}

common::bug_index<bug> bugs_by_cell;

bug *findbug(int row, int col) { return common::find_on_cell(bugs_by_cell, bugs, row, col); }

}  // namespace terrarium

#include "terrarium/findbug.h"

#include <cstdio>

#include "common/term.h"
#include "terrarium/init.h"

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

bug *findbug(int row, int col)
{
    bug *b = bugs;
    do {
        if (b->x == col && b->y == row)
            return b;
        b = b->next;
    } while (b != bugs);
    static char report[256];
    std::snprintf(report, sizeof report,
                  "this bug if fucked\nbug x =%i\nbug y =%i\nbug v =%i\nlook x =%i\nlook y =%i\n",
                  bugs->x, bugs->y, bugs->vector, col, row);
    stop_with(EXIT_LOST_BUG, report);
}

}  // namespace terrarium

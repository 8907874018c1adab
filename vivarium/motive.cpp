#include "vivarium/motive.h"

namespace vivarium {

constexpr int FED = 600;

int motivate(const bug *me, char glyph)
{
    int score = 0;
    if (glyph == me->race && me->food > FED)
        score++;
    if (glyph == me->food_glyph && me->food < FED)
        score++;
    return score;
}

}  // namespace vivarium

// What the current bug sees around it, and the choice of its action.
#pragma once

namespace vivarium {

// Glyph a cells ahead of the current bug and b to its right (negative b:
// to its left), relative to its facing, with wrap-around.
char peek(int a, int b);

// The ahead, left and right scores of the fixed cell pattern.
struct scores {
    int ahead;
    int left;
    int right;
};
scores score_cells();

// The current bug's action for this turn: mates with its race ahead when
// fed, eats ripe food ahead, else decides by the scores and its gene.
int look(int phase);

}  // namespace vivarium

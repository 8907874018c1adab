// Action codes and the decision table shared by both programs.
#pragma once

enum action { REST = 0, TURN_LEFT = 1, TURN_RIGHT = 2, STEP = 3 };

// Chooses an action from the forward, left and right scores, the gene for
// the current phase and whether the cell ahead can be entered. Draws from
// rand() at most once, only where the gene does not fit.
int decide(float forward, float left, float right, int gene, bool open);

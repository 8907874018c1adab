// The main loop of vivarium: the turn, the ageing step, and the program's
// own key commands on top of the shared ones.
#pragma once

#include "common/loop.h"

namespace vivarium {

// The program as the main loop runs it.
extern const common::program vivarium_program;

// Makes vivarium the program the loop runs, creates the status line and
// points every bug pointer at the first seeded bug.
void enter_loop();

// The pieces of one iteration of the main loop.
void ageing_step();
void turn();

}  // namespace vivarium

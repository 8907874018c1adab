// The main loop of vivarium: turns, ageing passes, and the program's own
// key commands on top of the shared ones.
#pragma once

#include "common/loop.h"

namespace vivarium {

// Creates the status line, points every bug pointer at the first seeded
// bug and resets the loop state.
void enter_loop();

// One iteration of the main loop. At a pass boundary the terminal work of
// `ui` (sleep and repaint before the phase advances, keys after it) is
// done; a null `ui` runs the simulation alone.
void loop_step(const common::program *ui);

// The interactive program's loop: never returns.
[[noreturn]] void main_loop();

// The pieces of one iteration.
void ageing_step();
void turn();

// The screen and keys of the interactive program.
extern const common::program vivarium_program;
void repaint();
void key_loop();
void do_key(int k);

}  // namespace vivarium

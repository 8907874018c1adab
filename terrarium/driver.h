// The main loop of terrarium: turns, ageing passes, and the program's own
// key commands on top of the shared ones.
#pragma once

#include "common/loop.h"

namespace terrarium {

using common::help_text;
using common::key;
using common::paused;
using common::phase;
using common::show_map;
using common::speed;
using common::status_win;
using common::track_label;
using common::view_col;
using common::view_row;

// Creates the status line, points every bug pointer at the first seeded
// bug and resets the loop state.
void enter_loop();

// One iteration of the main loop. At a pass boundary, with a user
// interface `ui`, the sleep and the repaint come before the phase advances
// and the key loop after it; headless runs pass none.
void loop_step(const common::program *ui);

// The program as the shared key commands see it.
extern const common::program terrarium_program;

// The interactive program's loop: never returns.
[[noreturn]] void main_loop();

// The pieces of one iteration.
void ageing_step();
void turn();

// Terminal work of the pass boundary and the key commands.
void repaint();
void key_loop();
void do_key(int k);

}  // namespace terrarium

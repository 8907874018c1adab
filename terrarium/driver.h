// The main loop of terrarium: turns, ageing passes, the pass-boundary
// repaint and the key commands.
#pragma once

#include <curses.h>

namespace terrarium {

extern int speed;              // microseconds slept at each pass boundary
extern int show_map;           // 1: map view; 0: statistics screen
extern int phase;              // passes modulo 25
extern int key;                // last key handled by the key loop (0 idle)
extern int paused;             // paused or single-stepping
extern int view_row, view_col; // pad cell at the map view's top-left corner
extern const char *track_label;
extern const char *help_text;
extern WINDOW *status_win;

// Points every bug pointer at the first seeded bug and resets the loop state.
void enter_loop();

// One iteration of the main loop. At a pass boundary `show` (if any) runs
// before the phase advances and `keys` (if any) after it.
void loop_step(void (*show)(), void (*keys)());

// The interactive program's loop: never returns.
[[noreturn]] void main_loop();

// The pieces of one iteration, for tests.
void ageing_step();
void turn();

// Pass-boundary terminal work.
void repaint();
void key_loop();
void do_key(int k);

}  // namespace terrarium

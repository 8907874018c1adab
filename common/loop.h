// The main loop that both programs run: passes over the ring with the
// screen, speed and key state, and the key commands that both share:
// quit, scrolling and centring the view, the map or the statistics, speed,
// pause and single step.
#pragma once

#include <curses.h>

#include "common/decide.h"
#include "common/run_log.h"

namespace common {

extern int speed;               // microseconds slept at each pass boundary
extern int show_map;            // 1: map view; 0: statistics screen
extern long passes;             // pass boundaries reached
extern int phase;               // passes modulo 25
extern int key;                 // last key handled by the key loop (0 idle)
extern int paused;              // paused or single-stepping
extern int view_row, view_col;  // map cell at the map view's top-left corner
extern const char *help_text;   // key help on the status line
extern WINDOW *status_win;      // one-line window on the last screen row

// One key command: `key` (lower case for a letter, which upper case does
// too) and what it does.
struct key_command {
    int key;
    void (*run)();
};

// What the shared commands see of the selected bug.
struct selection {
    int row, col;
    const gene_t *dna;
};

// What the loop needs from a program.
struct program {
    const char *name;           // in the program's messages
    const char *help;           // the key help on the status line
    bool (*at_boundary)();      // the ring cursor is on the pass marker
    void (*ageing_step)();      // the ageing step of the bug at the cursor
    void (*turn)();             // the next bug's turn
    void (*stat)();             // draws the statistics screen
    long (*population)();       // living bugs, for the status line
    int choices;                // bugs the keys from '1' on select: the next one and the trackers
    void (*select)(int which);  // selects the bug of key '1' + which: the next one, then the trackers
    const char *(*selection_label)();  // the tracker that chose the selection, for the status line
    selection (*selected)();    // the selected bug
    void (*edit)();             // the gene editor, on the selected bug
    const key_command *keys;    // its own commands, ended by key 0
    void (*census)(census *c);  // the figures of the statistics screen, for the log
};

// Makes `p` the program the loop runs, creates the status window and sets
// the loop state to its start values.
void enter_loop(const program &p);

// Deletes the status window. Headless runs and tests call it before they
// replace the curses screen, which takes its windows with it.
void leave_loop();

// One iteration of the main loop: at a pass boundary the sleep and the
// repaint, the log's row, the phase, and the key loop if a key waits or a
// step is under way (the terminal work only when `interactive`); then the
// ageing step in an ageing pass, and the turn.
void loop_step(bool interactive);

// The end of a run when a death leaves one bug, or none (the last one of
// a world seeded with one): status 0, and a line saying so and after how
// many passes.
[[noreturn]] void stop_last_bug(bool none_left);

// The interactive main loop; it ends only through stop.
[[noreturn]] void main_loop();

// The map view or the statistics screen, then the status line: the key
// help and the tracker's label at the left; at the right end the state:
// "paused" (also while single-stepping), the delay per pass, the pass
// count and the population.
void repaint();

// Handles keys: one while running, every key as it comes while paused.
void key_loop();
void do_key(int key);

// Runs the main loop without terminal work until the ring cursor has come
// to the pass marker `passes` + 1 times, the first iteration being the
// first arrival, and stops before that arrival's work. At each boundary
// begun, *done (if given) is set to the number begun so far, so it holds
// even when the run stops on the way, and `at_boundary` (if given) runs.
// Returns the number of turns taken.
long run_passes(long passes, long *done = nullptr, void (*at_boundary)() = nullptr);

}  // namespace common

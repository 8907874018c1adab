// The main loop's screen, speed and key state, and the key commands that
// both programs share: quit, scrolling and centring the view, switching
// between the map and the statistics, speed, pause and single step.
#pragma once

#include <curses.h>

namespace common {

extern int speed;               // microseconds slept at each pass boundary
extern int show_map;            // 1: map view; 0: statistics screen
extern int phase;               // passes modulo 25
extern int key;                 // last key handled by the key loop (0 idle)
extern int paused;              // paused or single-stepping
extern int view_row, view_col;  // pad cell at the map view's top-left corner
extern const char *track_label; // tracker last used to choose the selection
extern const char *help_text;   // key help on the status line
extern WINDOW *status_win;      // one-line window on the last screen row

// What the shared key commands need from a program.
struct program {
    WINDOW *(*pad)();               // the world map
    int (*rows)();                  // its size
    int (*cols)();
    void (*stat)();                 // draws the statistics screen
    void (*quit)();                 // the orderly end; never returns
    void (*selected)(int *row, int *col); // the selected bug's cell
    bool (*own_key)(int key);       // the program's own commands; false: none
};

// Creates the status window and sets the loop state to its start values.
void enter_loop(const char *help);

// Deletes the status window. Headless runs and tests call it before they
// replace the curses screen, which takes its windows with it.
void leave_loop();

// The map view or the statistics screen, then the status line.
void repaint(const program &p);

// Pass-boundary terminal work: the sleep and the repaint, then (after the
// phase has advanced) the key loop if a key waits or a step is under way.
void boundary_show(const program &p);
void boundary_keys(const program &p);

// Handles keys: one while running, every key as it comes while paused.
void key_loop(const program &p);
void do_key(const program &p, int key);

// Runs a program's main loop without terminal work (`step` with no user
// interface) until the ring cursor has come to the pass marker `passes` + 1
// times, the first iteration being the first arrival, and stops before that
// arrival's work. `cursor` and `marker` are the program's `bugs` and
// `first`. At each boundary begun, *done (if given) is set to the number
// begun so far, so it holds even when the run stops on the way, and
// `at_boundary` (if given) runs. Returns the number of turns taken.
template <class Bug>
long run_passes(Bug *const &cursor, Bug *const &marker, void (*step)(const program *), long passes,
                long *done = nullptr, void (*at_boundary)() = nullptr)
{
    long turns = 0;
    long begun = 0;
    for (;;) {
        if (cursor == marker) {
            if (begun == passes)
                return turns;
            begun++;
            if (done)
                *done = begun;
            if (at_boundary)
                at_boundary();
        }
        step(nullptr);
        turns++;
    }
}

// Popup with a formatted text, bounded by its buffer.
void popup(int seconds, const char *format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace common

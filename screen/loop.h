// The interactive main loop that both programs run: a session shows one
// world on the screen (the map view or the statistics screen, and the
// status line) and runs it pass by pass, at its speed and in its run mode,
// with the key commands that both programs share: quit, selection,
// scrolling and centring the view, the map or the statistics, speed,
// pause and single step. The session reads the world to show it; only the
// key commands change it (the selection, the gene editor).
#pragma once

#include <curses.h>

#include "common/decide.h"
#include "common/drawn_selection.h"
#include "screen/map_view.h"
#include "screen/overview.h"
#include "common/rules.h"
#include "storage/lineage.h"
#include "storage/run_log.h"

#include <string>
#include <vector>

namespace common {

struct session;
class autosave;

// What the shared commands see of the selected bug.
struct selection {
    int row, col;
    const gene_t *dna;
};

// What the interactive loop needs from a program besides its rules.
struct program {
    const rules &world_rules;
    const char *help;                    // the key help on the status line
    void (*stat)(const world_base &w);   // draws the statistics screen
    int choices;                         // bugs the keys from '1' on select: the next one and the trackers
    void (*select)(world_base &w, int which);  // selects the bug of key '1' + which
    const char *(*selection_label)(const world_base &w);  // the tracker that chose the selection
    selection (*selected)(const world_base &w);  // the selected bug
    void (*edit)(world_base &w);         // the gene editor, on the selected bug
    // Its own key commands, on top of the shared ones: runs the one of
    // `key` (a letter in lower case); false when it has none.
    bool (*own_key)(const world_base &w, int key);
};

// The screen's side of the program that `Screen` describes: its rules'
// description (its `world` and `trackers`) with the screen's part on top:
// the key `help`, `stat` on its world, `edit` on a bug and `key`, its own
// commands on its world. The keys from '1' select through the references
// and the selection's label comes from the trackers. As in rules_of, the
// one place where a world_base is taken as the program's world.
template <class Screen>
constexpr program program_of(const rules &world_rules)
{
    using W = typename Screen::world;
    return {
        world_rules,
        Screen::help,
        [](const world_base &w) { Screen::stat(static_cast<const W &>(w)); },
        1 + W::references::TRACKERS,
        [](world_base &w, int which) { static_cast<W &>(w).refs.select(which); },
        [](const world_base &w) { return static_cast<const W &>(w).refs.label(Screen::trackers); },
        [](const world_base &w) {
            const auto *b = static_cast<const W &>(w).refs.selected;
            return selection{b->y, b->x, b->dna};
        },
        [](world_base &w) { Screen::edit(static_cast<W &>(w).refs.selected); },
        [](const world_base &w, int key) { return Screen::key(static_cast<const W &>(w), key); },
    };
}

// Running at full speed or slowed, paused (keys handled as they come), or
// stepping: paused, but running one pass before the next key.
enum class run_mode { running, paused, stepping };

// One world on the screen.
struct session {
    session(const program &p, world_base &w) : running(p), world(w), selection(w.map), view(&selection.cells()) {}
    session(const session &) = delete;
    session &operator=(const session &) = delete;
    ~session();

    const program &running;
    world_base &world;
    selection_record selection;    // the cells drawn for the selected bug, which a save keeps
    map_view view;                 // the map's pad
    WINDOW *status_win = nullptr;  // one-line window on the last screen row
    int view_row = 0, view_col = 0;  // map cell at the map view's top-left corner
    int speed = 1;                 // microseconds slept at each pass boundary
    run_mode mode = run_mode::running;
    bool quitting = false;         // the quit key was pressed: the loop ends at once
    // After a pass boundary's work and before the next turn: the keys' place.
    bool turn_pending = false;
    autosave *saves = nullptr;     // the session's saves, if any
    run_log log;                   // the session's log, if the environment asks for one
    lineage genealogy;             // the session's genealogy, likewise
    std::string notice;            // shown instead of the key help while set
    bool show_map = true;          // else the statistics screen
    bool show_overview = false;    // the whole world in blocks, over the map or the statistics
    bool overview_density = false; // the overview shows bugs per block, not the dominant race
    overview blocks;               // its buffers are kept between passes: drawing it never allocates
    std::vector<char> block_glyphs;
    std::vector<chtype> block_line;
};

// Creates the status line: the session is ready to run.
void enter_loop(session &s);

// The interactive main loop. It paints the world first, before any
// delay. A session whose turn is pending (a resumed world) takes that turn
// first, after the key loop if it is paused. It returns as soon as the
// user quits or a turn ends the world (its outcome in the world), with
// nothing more done: the program's way out comes next.
void main_loop(session &s);

// One iteration of the main loop: at a pass boundary the sleep, the
// saves' safe point and the repaint, the pass boundary's work, and the key
// loop if a key waits or a step is under way; then, unless the user quit
// there, the turn, and unless it ended the world, a safe point after it
// should a signal have been put off.
void loop_step(session &s);

// The overview, the map view or the statistics screen, then the status line: the key
// help and the tracker's label at the left; at the right end the state:
// "overview 1:B" while the overview is shown (its blocks of B x B cells,
// or "1:CxR" of C columns by R rows), "paused" (also while single-stepping), the delay per pass, the pass
// count and the population.
void repaint(session &s);

// Handles keys: one while running, every key as it comes while paused;
// the saves' safe point after each, but the quit key's, which ends it.
void key_loop(session &s);
void do_key(session &s, int key);

}  // namespace common

#include "common/loop.h"

#include <algorithm>
#include <string>

#include "common/edit_window.h"
#include "common/hooks.h"
#include "common/kb.h"
#include "common/map.h"
#include "common/popup.h"
#include "common/term.h"

namespace common {

int speed = 1;
int show_map = 1;
long passes = 0;
int phase = 0;
int key = 0;
int paused = 0;
int view_row = 0;
int view_col = 0;
const char *track_label = "xx ";
const char *help_text = "";
WINDOW *status_win = nullptr;

namespace {

const program *running = nullptr;

// The status line anew on the screen's last row, as wide as the screen.
void open_status_line()
{
    leave_loop();
    status_win = newwin(1, COLS, LINES - 1, 0);
}

}  // namespace

void enter_loop(const program &p)
{
    running = &p;
    log_census_from(p.census);
    open_status_line();
    speed = 1;
    show_map = 1;
    passes = 0;
    phase = 0;
    key = 0;
    paused = 0;
    view_row = view_col = 0;
    track_label = "xx ";
    help_text = p.help;
}

void leave_loop()
{
    if (status_win != nullptr)
        delwin(status_win);
    status_win = nullptr;
}

namespace {

// The delay per pass in the largest unit that leaves at least 1, truncated.
std::string delay_text(int micros)
{
    if (micros == 0)
        return "top";
    if (micros < 1000)
        return text_of("%dus", micros);
    if (micros < 1000000)
        return text_of("%dms", micros / 1000);
    return text_of("%ds", micros / 1000000);
}

std::string run_state()
{
    std::string state = text_of("%s  pass %ld  %ld bugs", delay_text(speed).c_str(), passes, running->population());
    return paused ? "paused  " + state : state;
}

// The left part always as it was; the state after it only as far as it
// fits, its first fields left out first, so that it stays right-aligned.
void draw_status_line()
{
    int width = getmaxx(status_win);
    std::string left = text_of("%s  %s  ", help_text, track_label);
    std::string right = run_state();
    int room = width - static_cast<int>(left.size());
    while (!right.empty() && static_cast<int>(right.size()) > room) {
        size_t gap = right.find("  ");
        right = gap == std::string::npos ? "" : right.substr(gap + 2);
    }
    werase(status_win);
    mvwaddnstr(status_win, 0, 0, left.c_str(), width);
    // The last cell of the screen takes its character; curses says ERR
    // only because the cursor cannot move on past it.
    if (!right.empty())
        mvwaddstr(status_win, 0, width - static_cast<int>(right.size()), right.c_str());
    wnoutrefresh(status_win);
}

// After the screen changed its size: the status line on its new last
// row, as wide as it, and the view's origin within the bounds that the
// scroll keys keep, the upper bound first (the world never changes).
// Whatever a map smaller than the screen leaves uncovered is blank, not
// the picture of the old size.
void fit_to_screen()
{
    werase(stdscr);
    wnoutrefresh(stdscr);
    open_status_line();
    view_row = std::max(0, std::min(view_row, world_row - LINES + 1));
    view_col = std::max(0, std::min(view_col, world_col - COLS));
}

// Whether the status line is on the screen's last row, as wide as it: not
// so after the screen changed its size, in the gene editor too.
bool status_line_fits() { return getbegy(status_win) == LINES - 1 && getmaxx(status_win) == COLS; }

}  // namespace

void repaint()
{
    // After a stop the whole screen is drawn anew; the keyboard's next poll
    // puts raw mode back, whatever the shell made of it meanwhile.
    follow_continue();
    if (follow_size_change() || !status_line_fits())
        fit_to_screen();
    if (show_map) {
        sync_pad();
        pnoutrefresh(world_pad, view_row, view_col, 0, 0, LINES - 2, COLS - 1);
    } else {
        running->stat();
        wnoutrefresh(stdscr);
    }
    draw_status_line();
    // One update for both: the statistics screen's blank last row never
    // reaches the terminal between them.
    doupdate();
}

void loop_step(bool interactive)
{
    if (running->at_boundary()) {
        if (interactive) {
            if (speed != 0)
                hooks.sleep_micros(static_cast<useconds_t>(speed));
            repaint();
        }
        if (logging())
            log_pass(passes, running->census);
        passes++;
        phase = (phase + 1) % 25;
        if (interactive && (kb_hit() || key == 'n' || key == 'N'))
            key_loop();
    }
    if (phase == 0)
        running->ageing_step();
    running->turn();
}

void stop_last_bug(bool none_left)
{
    stop_with(0, text_of("%s: %s bug left after %ld passes\n", running->name, none_left ? "no" : "one", passes)
                     .c_str());
}

void main_loop()
{
    for (;;)
        loop_step(true);
}

long run_passes(long passes, long *done, void (*at_boundary)())
{
    long turns = 0;
    long begun = 0;
    for (;;) {
        if (running->at_boundary()) {
            if (begun == passes)
                return turns;
            begun++;
            if (done)
                *done = begun;
            if (at_boundary)
                at_boundary();
        }
        loop_step(false);
        turns++;
    }
}

void key_loop()
{
    do {
        key = kb_hit() ? read_kb() : 0;
        do_key(key);
    } while (paused && key != 'n' && key != 'N');
}

namespace {

// The origin clamps: the upper bound comes last, so in a world smaller
// than the view the origin may be negative (curses then shows from 0).
void centre_on_selected()
{
    selection s = running->selected();
    int row = s.row, col = s.col;
    view_row = row - (LINES - 1) / 2;
    if (view_row < 0)
        view_row = 0;
    if (view_row > world_row - LINES + 1)
        view_row = world_row - LINES + 1;
    view_col = col - COLS / 2;
    if (view_col < 0)
        view_col = 0;
    if (view_col > world_col - COLS)
        view_col = world_col - COLS;
}

void change_speed(int new_speed)
{
    speed = new_speed;
    dopopup(text_of("speed=%i", speed).c_str(), 1);
    paused = 0;
}

// Doubling stops short of overflow: from 2^30 on, the speed stays.
int slower(int s) { return s == 0 ? 1 : (s < (1 << 30) ? s * 2 : s); }

// The keys from '1' on: the next bug, then the trackers, with their labels.
void choose(int which)
{
    static const char *const labels[] = {"xx ", "hf ", "hg ", "old", "hk "};
    if (which >= running->choices) {
        dopopup("bad key", 1);
        return;
    }
    running->select(which);
    track_label = labels[which];
}

const key_command shared_keys[] = {
    {'1', [] { choose(0); }},
    {'2', [] { choose(1); }},
    {'3', [] { choose(2); }},
    {'4', [] { choose(3); }},
    {'5', [] { choose(4); }},
    {'d', [] { dopopup(gene_digits(running->selected().dna, GENES).c_str(), 5); }},
    {'e', [] { running->edit(); }},
    {'x', [] { stop(); }},
    {'g', centre_on_selected},
    {'z', [] { show_map = show_map ? 0 : 1; }},
    {'h', [] { if (view_col > 0) view_col--; }},
    {'j', [] { if (view_row < world_row - LINES + 1) view_row++; }},
    {'k', [] { if (view_row > 0) view_row--; }},
    {'l', [] { if (view_col < world_col - COLS) view_col++; }},
    {'f', [] { change_speed(speed >= 2 ? speed / 2 : 0); }},
    {'s', [] { change_speed(slower(speed)); }},
    {'t', [] { change_speed(0); }},
    {'p', [] {
         dopopup("Pause", 1);
         key = 0;
         paused = paused ? 0 : 1;
     }},
    {'n', [] {
         dopopup("Single step", 1);
         paused = 1;
     }},
    {0, nullptr},
};

// The command of a key in a table; upper-case letters as lower case.
const key_command *command_for(const key_command *table, int k)
{
    if (k >= 'A' && k <= 'Z')
        k += 'a' - 'A';
    for (; table->key != 0; table++)
        if (table->key == k)
            return table;
    return nullptr;
}

}  // namespace

void do_key(int k)
{
    if (k == 0) {
        repaint();
        hooks.sleep_micros(100000);
        return;
    }
    const key_command *command = nullptr;
    if (static_cast<unsigned>(k) <= 122) {
        command = command_for(running->keys, k);
        if (command == nullptr)
            command = command_for(shared_keys, k);
    }
    if (command == nullptr)
        dopopup("bad key", 1);
    else
        command->run();
}

}  // namespace common

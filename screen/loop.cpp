#include "screen/loop.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "screen/autosave.h"
#include "screen/edit_window.h"
#include "common/hooks.h"
#include "screen/kb.h"
#include "common/map.h"
#include "screen/popup.h"
#include "common/signals.h"
#include "screen/term.h"
#include "common/text.h"

namespace common {

namespace {

// The status line anew on the screen's last row, as wide as the screen.
void open_status_line(session &s)
{
    if (s.status_win != nullptr)
        delwin(s.status_win);
    s.status_win = newwin(1, COLS, LINES - 1, 0);
}

}  // namespace

session::~session()
{
    if (status_win != nullptr)
        delwin(status_win);
}

void enter_loop(session &s) { open_status_line(s); }

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

// The overview's blocks on the screen above its legend and the status
// line: on a screen of one or two rows, none of them is shown.
int overview_room() { return std::max(0, LINES - 2); }

overview_layout layout_on_screen(const session &s)
{
    return overview_layout_for(s.world.map.rows(), s.world.map.cols(), overview_room(), COLS);
}

// "1:3" for blocks of 3 x 3 cells, "1:2x3" for blocks 2 columns wide and 3 rows tall.
std::string scale_text(const overview_layout &layout)
{
    if (layout.block_rows == layout.block_cols)
        return text_of("1:%d", layout.block_rows);
    return text_of("1:%dx%d", layout.block_cols, layout.block_rows);
}

std::string run_state(const session &s)
{
    std::string state = text_of("%s  pass %ld  %ld bugs", delay_text(s.speed).c_str(), s.world.passes,
                                s.running.world_rules.population(s.world));
    if (s.mode != run_mode::running)
        state = "paused  " + state;
    return s.show_overview ? "overview " + scale_text(layout_on_screen(s)) + "  " + state : state;
}

// The left part always as it was; the state after it only as far as it
// fits, its first fields left out first, so that it stays right-aligned.
void draw_status_line(const session &s)
{
    WINDOW *status_win = s.status_win;
    int width = getmaxx(status_win);
    std::string left = text_of("%s  %s  ", s.notice.empty() ? s.running.help : printable(s.notice).c_str(),
                               s.running.selection_label(s.world));
    std::string right = run_state(s);
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
void fit_to_screen(session &s)
{
    werase(stdscr);
    wnoutrefresh(stdscr);
    open_status_line(s);
    s.view_row = std::max(0, std::min(s.view_row, s.world.map.rows() - LINES + 1));
    s.view_col = std::max(0, std::min(s.view_col, s.world.map.cols() - COLS));
}

// Whether the status line is on the screen's last row, as wide as it: not
// so after the screen changed its size, in the gene editor too.
bool status_line_fits(const session &s)
{
    return getbegy(s.status_win) == LINES - 1 && getmaxx(s.status_win) == COLS;
}

// The legend on the row above the status line: what the glyphs mean,
// then the selected bug's block's mark.
void draw_overview_legend(const session &s)
{
    if (LINES < 2)
        return;
    const char *legend = s.overview_density ? DENSITY_LEGEND : RACES_LEGEND;
    mvwaddnstr(stdscr, LINES - 2, 0, legend, COLS);
    int room = COLS - static_cast<int>(std::strlen(legend)) - 2;
    if (room > 0) {
        waddstr(stdscr, "  ");
        wattron(stdscr, A_UNDERLINE);
        waddnstr(stdscr, "selected bug", room);
        wattroff(stdscr, A_UNDERLINE);
    }
}

// The blocks that the map view shows, highlighted: its origin may be
// negative in a world smaller than the screen. The selected bug's block
// is underlined.
void draw_overview(session &s)
{
    const world_map &map = s.world.map;
    overview_layout layout = layout_on_screen(s);
    s.blocks.draw(map.row(0), map.rows(), map.cols(), layout, s.block_glyphs, s.overview_density);
    int first_row = std::max(0, s.view_row) / layout.block_rows;
    int last_row = (s.view_row + LINES - 2) / layout.block_rows;
    int first_col = std::max(0, s.view_col) / layout.block_cols;
    int last_col = (s.view_col + COLS - 1) / layout.block_cols;
    selection chosen = s.running.selected(s.world);
    int chosen_row = chosen.row / layout.block_rows, chosen_col = chosen.col / layout.block_cols;
    s.block_line.resize(static_cast<size_t>(layout.cols));
    werase(stdscr);
    for (int row = 0; row < std::min(layout.rows, overview_room()); row++) {
        bool rows_shown = row >= first_row && row <= last_row;
        for (int col = 0; col < layout.cols; col++) {
            char glyph = s.block_glyphs[static_cast<size_t>(row) * layout.cols + col];
            bool shown = rows_shown && col >= first_col && col <= last_col;
            bool chosen_here = row == chosen_row && col == chosen_col;
            s.block_line[col] = static_cast<chtype>(static_cast<unsigned char>(glyph)) |
                                (s.overview_density ? 0 : s.view.colours.of(glyph)) | (shown ? A_REVERSE : 0) |
                                (chosen_here ? A_UNDERLINE : 0);
        }
        mvwaddchnstr(stdscr, row, 0, s.block_line.data(), layout.cols);
    }
    draw_overview_legend(s);
    wnoutrefresh(stdscr);
}

}  // namespace

void repaint(session &s)
{
    // After a stop the whole screen is drawn anew; the keyboard's next poll
    // puts raw mode back, whatever the shell made of it meanwhile.
    follow_continue();
    if (follow_size_change() || !status_line_fits(s))
        fit_to_screen(s);
    if (s.show_overview) {
        draw_overview(s);
    } else if (s.show_map) {
        s.view.catch_up();
        pnoutrefresh(s.view.pad(), s.view_row, s.view_col, 0, 0, LINES - 2, COLS - 1);
    } else {
        s.running.stat(s.world);
        wnoutrefresh(stdscr);
    }
    draw_status_line(s);
    // One update for both: the statistics screen's blank last row never
    // reaches the terminal between them.
    doupdate();
}

namespace {

// Where the world is whole: the saves may act (see autosave).
void safe_point(session &s)
{
    if (s.saves != nullptr)
        s.saves->at_safe_point(s);
}

}  // namespace

void loop_step(session &s)
{
    const rules &r = s.running.world_rules;
    if (r.at_boundary(s.world)) {
        if (s.speed != 0)
            hooks.sleep_micros(static_cast<useconds_t>(s.speed));
        safe_point(s);
        repaint(s);
        pass_boundary(s.world, r);
        s.turn_pending = true;
        if (kb_hit() || s.mode == run_mode::stepping)
            key_loop(s);
        if (s.quitting)
            return;
    }
    if (play_turn(s.world, r) != outcome::running)
        return;
    s.turn_pending = false;
    if (deferred_signal() != 0)
        safe_point(s);
}

void main_loop(session &s)
{
    // The world on the screen before any wait: a resumed world's delay
    // may be minutes long.
    repaint(s);
    if (s.turn_pending) {
        if (s.mode != run_mode::running)
            key_loop(s);
        if (s.quitting || play_turn(s.world, s.running.world_rules) != outcome::running)
            return;
        s.turn_pending = false;
    }
    while (!s.quitting && s.world.outcome == outcome::running)
        loop_step(s);
}

void key_loop(session &s)
{
    do {
        int k = kb_hit() ? read_kb() : 0;
        // A step runs one pass; whatever key comes next ends it.
        if (s.mode == run_mode::stepping)
            s.mode = run_mode::paused;
        do_key(s, k);
        if (s.quitting)
            return;
        safe_point(s);
    } while (s.mode == run_mode::paused);
}

namespace {

// The origin clamps: the upper bound comes last, so in a world smaller
// than the view the origin may be negative (curses then shows from 0).
void centre_on_selected(session &s)
{
    selection chosen = s.running.selected(s.world);
    int rows = s.world.map.rows(), cols = s.world.map.cols();
    s.view_row = chosen.row - (LINES - 1) / 2;
    if (s.view_row < 0)
        s.view_row = 0;
    if (s.view_row > rows - LINES + 1)
        s.view_row = rows - LINES + 1;
    s.view_col = chosen.col - COLS / 2;
    if (s.view_col < 0)
        s.view_col = 0;
    if (s.view_col > cols - COLS)
        s.view_col = cols - COLS;
}

void change_speed(session &s, int new_speed)
{
    s.speed = new_speed;
    dopopup(text_of("speed=%i", s.speed).c_str(), 1);
    s.mode = run_mode::running;
}

constexpr int CTRL_S = 0x13;

// One shared key command: `key` (lower case for a letter, which upper
// case does too) and what it does.
struct key_command {
    int key;
    void (*run)(session &s);
};

// A key as the commands know it: a letter in lower case.
int lower_case(int k) { return k >= 'A' && k <= 'Z' ? k + 'a' - 'A' : k; }

// Doubling stops short of overflow: from 2^30 on, the speed stays.
int slower(int s) { return s == 0 ? 1 : (s < (1 << 30) ? s * 2 : s); }

// The keys from '1' on: the next bug, then the trackers.
void choose(session &s, int which)
{
    if (which >= s.running.choices)
        dopopup("bad key", 1);
    else
        s.running.select(s.world, which);
}

const key_command shared_keys[] = {
    {'d', [](session &s) { dopopup(gene_digits(s.running.selected(s.world).dna, GENES).c_str(), 5); }},
    {'e', [](session &s) {
         // Whatever the old size left goes; the world shows round the editor.
         edit_backdrop behind([&s] {
             fit_to_screen(s);
             repaint(s);
         });
         s.running.edit(s.world);
     }},
    {'x', [](session &s) { s.quitting = true; }},
    {CTRL_S, [](session &s) {
         if (s.saves != nullptr)
             s.saves->save_now(s);
     }},
    {'g', centre_on_selected},
    {'z', [](session &s) {
         s.show_map = !s.show_map && !s.show_overview;
         s.show_overview = false;
     }},
    {'o', [](session &s) { s.show_overview = true; }},
    {'h', [](session &s) { if (s.view_col > 0) s.view_col--; }},
    {'j', [](session &s) { if (s.view_row < s.world.map.rows() - LINES + 1) s.view_row++; }},
    {'k', [](session &s) { if (s.view_row > 0) s.view_row--; }},
    {'l', [](session &s) { if (s.view_col < s.world.map.cols() - COLS) s.view_col++; }},
    {'f', [](session &s) { change_speed(s, s.speed >= 2 ? s.speed / 2 : 0); }},
    {'s', [](session &s) { change_speed(s, slower(s.speed)); }},
    {'t', [](session &s) { change_speed(s, 0); }},
    {'p', [](session &s) {
         dopopup("Pause", 1);
         s.mode = s.mode == run_mode::running ? run_mode::paused : run_mode::running;
     }},
    {'n', [](session &s) {
         dopopup("Single step", 1);
         s.mode = run_mode::stepping;
     }},
    {0, nullptr},
};

// The origin one block on in the overview, clamped to the bounds of the
// scroll keys: it moves only when a scroll key would.
int block_step(int origin, int step, int upper)
{
    if (step < 0)
        return origin > 0 ? std::max(0, origin + step) : origin;
    return origin < upper ? std::min(upper, origin + step) : origin;
}

// The keys that mean something else while the overview is shown: the
// frame moves by blocks, `m` switches between the dominant race and the
// bugs per block (a bad key elsewhere), and `o` or Enter go back to the
// map there.
bool overview_key(session &s, int k)
{
    overview_layout layout = layout_on_screen(s);
    int rows_up = s.world.map.rows() - LINES + 1, cols_up = s.world.map.cols() - COLS;
    switch (lower_case(k)) {
    case 'h': s.view_col = block_step(s.view_col, -layout.block_cols, cols_up); return true;
    case 'l': s.view_col = block_step(s.view_col, layout.block_cols, cols_up); return true;
    case 'k': s.view_row = block_step(s.view_row, -layout.block_rows, rows_up); return true;
    case 'j': s.view_row = block_step(s.view_row, layout.block_rows, rows_up); return true;
    case 'm': s.overview_density = !s.overview_density; return true;
    case 'o': case '\n': case '\r':
        s.show_overview = false;
        s.show_map = true;
        return true;
    default: return false;
    }
}

// The command of a key in a table; upper-case letters as lower case.
const key_command *command_for(const key_command *table, int k)
{
    k = lower_case(k);
    for (; table->key != 0; table++)
        if (table->key == k)
            return table;
    return nullptr;
}

}  // namespace

void do_key(session &s, int k)
{
    if (k == 0) {
        repaint(s);
        hooks.sleep_micros(100000);
        return;
    }
    if (k >= '1' && k <= '9') {
        choose(s, k - '1');
        return;
    }
    if (s.show_overview && overview_key(s, k))
        return;
    const key_command *command = nullptr;
    if (static_cast<unsigned>(k) <= 122) {
        if (s.running.own_key(s.world, lower_case(k)))
            return;
        command = command_for(shared_keys, k);
    }
    if (command == nullptr)
        dopopup("bad key", 1);
    else
        command->run(s);
}

}  // namespace common

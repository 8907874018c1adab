#include "common/loop.h"

#include <cstdarg>
#include <cstdio>

#include "common/kb.h"
#include "common/popup.h"
#include "common/term.h"

namespace common {

int speed = 1;
int show_map = 1;
int phase = 0;
int key = 0;
int paused = 0;
int view_row = 0;
int view_col = 0;
const char *track_label = "xx ";
const char *help_text = "";
WINDOW *status_win = nullptr;

void enter_loop(const char *help)
{
    if (status_win != nullptr)
        delwin(status_win);
    status_win = newwin(1, COLS, LINES - 1, 0);
    speed = 1;
    show_map = 1;
    phase = 0;
    key = 0;
    paused = 0;
    view_row = view_col = 0;
    track_label = "xx ";
    help_text = help;
}

void leave_loop()
{
    if (status_win != nullptr)
        delwin(status_win);
    status_win = nullptr;
}

void repaint(const program &p)
{
    // After a change of the terminal's size whatever it kept of the picture
    // is cleared and everything is drawn anew.
    if (take_size_change())
        clearok(curscr, TRUE);
    if (show_map) {
        prefresh(p.pad(), view_row, view_col, 0, 0, LINES - 2, COLS - 1);
    } else {
        p.stat();
        wrefresh(stdscr);
    }
    mvwprintw(status_win, 0, 0, "%s  %s  ", help_text, track_label);
    wrefresh(status_win);
}

void boundary_show(const program &p)
{
    if (speed != 0)
        sleep_micros(static_cast<useconds_t>(speed));
    repaint(p);
}

void boundary_keys(const program &p)
{
    if (kb_hit() || key == 'n' || key == 'N')
        key_loop(p);
}

void key_loop(const program &p)
{
    do {
        key = kb_hit() ? read_kb() : 0;
        do_key(p, key);
    } while (paused && key != 'n' && key != 'N');
}

void popup(int seconds, const char *format, ...)
{
    char text[128];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    dopopup(text, seconds);
}

namespace {

// The origin clamps: the upper bound comes last, so in a world smaller
// than the view the origin may be negative (curses then shows from 0).
void centre_on_selected(const program &p)
{
    int row = 0, col = 0;
    p.selected(&row, &col);
    view_row = row - (LINES - 1) / 2;
    if (view_row < 0)
        view_row = 0;
    if (view_row > p.rows() - LINES + 1)
        view_row = p.rows() - LINES + 1;
    view_col = col - COLS / 2;
    if (view_col < 0)
        view_col = 0;
    if (view_col > p.cols() - COLS)
        view_col = p.cols() - COLS;
}

void change_speed(int new_speed)
{
    speed = new_speed;
    popup(1, "speed=%i", speed);
    paused = 0;
}

// Doubling stops short of overflow: from 2^30 on, the speed stays.
int slower(int s) { return s == 0 ? 1 : (s < (1 << 30) ? s * 2 : s); }

}  // namespace

void do_key(const program &p, int k)
{
    if (static_cast<unsigned>(k) > 122) {
        dopopup("bad key", 1);
        return;
    }
    if (k != 0 && p.own_key(k))
        return;
    switch (k) {
    case 0:
        repaint(p);
        sleep_micros(100000);
        break;
    case 'x': case 'X': p.quit(); break;
    case 'g': case 'G': centre_on_selected(p); break;
    case 'z': case 'Z': show_map = show_map ? 0 : 1; break;
    case 'h': case 'H': if (view_col > 0) view_col--; break;
    case 'j': case 'J': if (view_row < p.rows() - LINES + 1) view_row++; break;
    case 'k': case 'K': if (view_row > 0) view_row--; break;
    case 'l': case 'L': if (view_col < p.cols() - COLS) view_col++; break;
    case 'f': case 'F': change_speed(speed >= 2 ? speed / 2 : 0); break;
    case 's': case 'S': change_speed(slower(speed)); break;
    case 't': case 'T': change_speed(0); break;
    case 'p': case 'P':
        dopopup("Pause", 1);
        key = 0;
        paused = paused ? 0 : 1;
        break;
    case 'n': case 'N':
        dopopup("Single step", 1);
        paused = 1;
        break;
    default: dopopup("bad key", 1);
    }
}

}  // namespace common

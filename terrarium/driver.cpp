#include "terrarium/driver.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "common/cell.h"
#include "common/kb.h"
#include "common/popup.h"
#include "common/term.h"
#include "terrarium/edit.h"
#include "terrarium/food.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "terrarium/look.h"
#include "terrarium/mate_die.h"
#include "terrarium/stat.h"
#include "terrarium/view_t.h"

namespace terrarium {

bug *bugs = nullptr;
bug *first = nullptr;
bug *sb = nullptr;
bug *hf = nullptr;
bug *hg = nullptr;
bug *old = nullptr;
bug *hk = nullptr;

WINDOW *world_pad = nullptr;
int world_row = 0;
int world_col = 0;
float world_size = 2.0f;
int roughness = 150;
int grid_size = 4;
int mnt_c = 0;
int wtr_c = 0;

int speed = 1;
int show_map = 1;
int phase = 0;
int key = 0;
int paused = 0;
int view_row = 0;
int view_col = 0;
const char *track_label = "xx ";
const char *help_text = "x 12345 vdcegzb hjklw fstpn ";
WINDOW *status_win = nullptr;

char glyph_at(int row, int col)
{
    char glyph = 0;
    cell_read(world_pad, row, col, &glyph);
    return glyph;
}

void put_glyph(int row, int col, char glyph) { cell_write(world_pad, row, col, glyph); }

void enter_loop()
{
    if (status_win != nullptr)
        delwin(status_win);
    status_win = newwin(1, COLS, LINES - 1, 0);
    first = sb = hf = hg = old = hk = bugs;
    speed = 1;
    show_map = 1;
    phase = 0;
    key = 0;
    paused = 0;
    view_row = view_col = 0;
    track_label = "xx ";
}

void ageing_step()
{
    bug *b = bugs;
    if (b == first)
        growfood();
    b->age++;
    if (b->food >= 120 * b->size)
        mate();
    if (b->food > hf->food)
        hf = b;
    if (b->gen > hg->gen)
        hg = b;
    if (b->age > old->age)
        old = b;
    if (attraction(b, '@') < attraction(hk, '@'))
        hk = b;
    if (b->food < 1) {
        if (b == sb)
            track_label = "xx ";
        die(b);
    }
}

namespace {

// Food after an action costing `factor` units: truncated toward zero.
int charged(int food, double unit, double factor) { return static_cast<int>(food - unit * factor); }

void step(bug *b)
{
    switch (b->vector) {
    case 0: b->y = (b->y - 1 + world_row) % world_row; break;
    case 1: b->x = (b->x + 1) % world_col; break;
    case 2: b->y = (b->y + 1) % world_row; break;
    case 3: b->x = (b->x - 1 + world_col) % world_col; break;
    default: std::fputs("default in main inner bugs->vector is bad\n", stderr);
    }
}

void apply(bug *b, int action)
{
    double unit = std::log10(static_cast<double>(b->size)) + 1;
    switch (action) {
    case REST:
        b->vision++;
        b->food = charged(b->food, unit, 1.0);
        break;
    case TURN_LEFT:
        b->food = charged(b->food, unit, 1.2);
        b->vector = (b->vector + 3) % 4;
        break;
    case TURN_RIGHT:
        b->food = charged(b->food, unit, 1.2);
        b->vector = (b->vector + 1) % 4;
        break;
    case STEP:
        b->vision--;
        b->food = charged(b->food, unit, 1.5);
        step(b);
        break;
    default:
        std::fputs("default in main look returned a bad value\n", stderr);
    }
}

void adjust_vision(bug *b)
{
    if (b->vision < 1)
        b->vision++;
    if (std::sqrt(static_cast<double>(b->size)) < b->vision)
        b->vision--;
}

void redraw(bug *b)
{
    if (b == sb)
        wattr_on(world_pad, A_STANDOUT, nullptr);
    put_glyph(b->y, b->x, b->race);
    if (b == sb)
        wattr_off(world_pad, A_STANDOUT, nullptr);
}

}  // namespace

void turn()
{
    bugs = bugs->next;
    bug *b = bugs;
    put_glyph(b->y, b->x, ' ');
    apply(b, look(phase));
    adjust_vision(b);
    redraw(b);
}

void loop_step(void (*show)(), void (*keys)())
{
    if (bugs == first) {
        if (show)
            show();
        phase = (phase + 1) % 25;
        if (keys)
            keys();
    }
    if (phase == 0)
        ageing_step();
    turn();
}

void repaint()
{
    if (show_map) {
        prefresh(world_pad, view_row, view_col, 0, 0, LINES - 2, COLS - 1);
    } else {
        stat();
        wrefresh(stdscr);
    }
    mvwprintw(status_win, 0, 0, "%s  %s  ", help_text, track_label);
    wrefresh(status_win);
}

namespace {

void boundary_show()
{
    if (speed != 0)
        sleep_micros(static_cast<useconds_t>(speed));
    repaint();
}

void boundary_keys()
{
    if (kb_hit() || key == 'n' || key == 'N')
        key_loop();
}

}  // namespace

void main_loop()
{
    for (;;)
        loop_step(boundary_show, boundary_keys);
}

void key_loop()
{
    do {
        key = kb_hit() ? read_kb() : 0;
        do_key(key);
    } while (paused && key != 'n' && key != 'N');
}

namespace {

void popup(int seconds, const char *format, ...) __attribute__((format(printf, 2, 3)));

// Popup texts are bounded by their buffer, whatever the values.
void popup(int seconds, const char *format, ...)
{
    char text[128];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    dopopup(text, seconds);
}

void select(bug *b, const char *label)
{
    sb = b;
    track_label = label;
}

void centre_on_selected()
{
    view_row = sb->y - (LINES - 1) / 2;
    if (view_row < 0)
        view_row = 0;
    if (view_row > world_row - LINES + 1)
        view_row = world_row - LINES + 1;
    view_col = sb->x - COLS / 2;
    if (view_col < 0)
        view_col = 0;
    if (view_col > world_col - COLS)
        view_col = world_col - COLS;
}

void world_statistics()
{
    long long area = static_cast<long long>(world_col) * world_row;
    double water = (wtr_c * 100LL) / static_cast<double>(area);
    double mountain = (mnt_c * 100LL) / static_cast<double>(area);
    double rest = ((area - wtr_c - mnt_c) * 100LL) / static_cast<double>(area);
    popup(5, "A=%lld W=%.2f M=%.2f S=%.2f", area, water, mountain, rest);
}

void show_genes()
{
    char genes[GENES + 1];
    for (int i = 0; i < GENES; i++)
        genes[i] = static_cast<char>('0' + sb->dna[i]);
    genes[GENES] = '\0';
    dopopup(genes, 5);
}

void change_speed(int new_speed)
{
    speed = new_speed;
    popup(1, "speed=%i", speed);
    paused = 0;
}

}  // namespace

void do_key(int k)
{
    if (static_cast<unsigned>(k) > 122) {
        dopopup("bad key", 1);
        return;
    }
    switch (k) {
    case 0:
        repaint();
        sleep_micros(100000);
        break;
    case 'x': case 'X': stop();
    case '1': select(sb->next, "xx "); break;
    case '2': select(hf, "hf "); break;
    case '3': select(hg, "hg "); break;
    case '4': select(old, "old"); break;
    case '5': select(hk, "hk "); break;
    case 'v': case 'V': popup(2, "x=%i  y=%i  v=%i", sb->x, sb->y, sb->vector); break;
    case 'd': case 'D': show_genes(); break;
    case 'c': case 'C':
        popup(3, "R=%c G=%i A=%i Fd=%i S=%i Fv=%i F@=%i ", sb->race, sb->gen, sb->age, sb->food,
              sb->size, sb->vision, attraction(sb, '@'));
        break;
    case 'e': case 'E': edit(sb); break;
    case 'g': case 'G': centre_on_selected(); break;
    case 'z': case 'Z': show_map = show_map ? 0 : 1; break;
    case 'b': case 'B': view_t(sb); break;
    case 'h': case 'H': if (view_col > 0) view_col--; break;
    case 'j': case 'J': if (view_row < world_row - LINES + 1) view_row++; break;
    case 'k': case 'K': if (view_row > 0) view_row--; break;
    case 'l': case 'L': if (view_col < world_col - COLS) view_col++; break;
    case 'w': case 'W': world_statistics(); break;
    case 'f': case 'F': change_speed(speed >= 2 ? speed / 2 : 0); break;
    // Doubling stops short of overflow: from 2^30 on, 's' keeps the speed.
    case 's': case 'S': change_speed(speed == 0 ? 1 : (speed < (1 << 30) ? speed * 2 : speed)); break;
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

}  // namespace terrarium

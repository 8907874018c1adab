#include "screen/term.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

#include "common/signals.h"
#include "common/text.h"

namespace common {

namespace {

// The process's terminal, as the signal handlers and every way out need
// it: one per process, whatever the worlds and sessions.
struct terminal_state {
    SCREEN *opened_screen = nullptr;
    FILE *null_file = nullptr;
    termios found_setting;          // standard input's settings as the user had them
    bool have_found_setting = false;
    char reset_sequence[256];       // leaves the alternate screen, shows the cursor
    size_t reset_length = 0;
    volatile sig_atomic_t size_changed = 0;
    volatile sig_atomic_t continued = 0;
} terminal;


// A string capability of the terminal; null when it has none (absent,
// cancelled, or not a string capability).
const char *capability(const char *name)
{
    char *cap = tigetstr(name);
    return cap == reinterpret_cast<char *>(-1) ? nullptr : cap;
}

void append_cap(const char *name)
{
    const char *cap = capability(name);
    if (cap == nullptr)
        return;
    size_t len = std::strlen(cap);
    if (terminal.reset_length + len >= sizeof terminal.reset_sequence)
        return;
    std::memcpy(terminal.reset_sequence + terminal.reset_length, cap, len);
    terminal.reset_length += len;
}

// Writes the reset sequence without ever waiting for the terminal: output
// stopped by flow control is restarted, and a terminal that takes nothing
// more now gets what fits. Async-signal-safe.
void write_reset_sequence()
{
    if (terminal.reset_length == 0)
        return;
    tcflow(1, TCOON);
    int flags = fcntl(1, F_GETFL);
    if (flags != -1)
        fcntl(1, F_SETFL, flags | O_NONBLOCK);
    ssize_t ignored = write(1, terminal.reset_sequence, terminal.reset_length);
    (void)ignored;
    if (flags != -1)
        fcntl(1, F_SETFL, flags);
}

extern "C" void on_size_change(int) { terminal.size_changed = 1; }
extern "C" void on_continue(int) { terminal.continued = 1; }

// A change of the terminal's size is only noted here; the main loop
// resizes curses' screen at its next repaint (follow_size_change), where
// the view and the status line are laid out anew with it. Installed
// before curses starts, this handler keeps curses from installing its
// own. SA_RESTART, unless asked otherwise: the keyboard's reads go on
// undisturbed.
void catch_signal(int sig, void (*handler)(int), bool restart)
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = restart ? SA_RESTART : 0;
    sigaction(sig, &action, nullptr);
}

void catch_size_changes() { catch_signal(SIGWINCH, on_size_change, true); }

void install_signal_handlers() { catch_ending_signals(leave_on_fatal_signal); }

[[noreturn]] void refuse(const char *program, const char *why, const char *type = nullptr)
{
    stop_with(EXIT_NO_TERMINAL, (type ? text_of("%s: %s (TERM=%s)\n", program, why, printable(type).c_str())
                                      : text_of("%s: %s\n", program, why))
                                    .c_str());
}

// The terminal as the user had it, on every way out. Inside a fatal
// signal's handler, only async-signal-safe work: its settings put back
// and the precomputed reset sequence written. Otherwise output restarted,
// should flow control have stopped it (the last writes would hang), its
// settings, then curses closed.
void give_back_terminal(bool in_signal_handler)
{
    if (in_signal_handler) {
        if (terminal.have_found_setting)
            tcsetattr(0, TCSANOW, &terminal.found_setting);
        write_reset_sequence();
        return;
    }
    tcflow(1, TCOON);
    bool restored = !terminal.have_found_setting || apply_setting(terminal.found_setting);
    if (terminal.opened_screen != nullptr)
        endwin();
    if (!restored)
        std::fputs("the terminal's settings could not be restored\n", stderr);
}

// Curses cannot hold a side longer than its size type's largest value,
// and a screen of more cells than this, of which it keeps several copies,
// would take more memory than any terminal is worth.
constexpr int LARGEST_SIDE = SHRT_MAX;
constexpr long LARGEST_AREA = 1L << 22;

bool size_fits(long rows, long cols)
{
    return rows <= LARGEST_SIDE && cols <= LARGEST_SIDE && rows * cols <= LARGEST_AREA;
}

// The side that curses will take: the variable's value if set (and a
// positive number), else the terminal's own. A variable taken is named
// in `from`.
long side(const char *variable, int own, std::string *from)
{
    const char *value = std::getenv(variable);
    long n = value != nullptr ? std::atol(value) : 0;
    if (n <= 0)
        return own;
    *from += std::string(from->empty() ? " (" : ", ") + variable + "=" + value;
    return n;
}

}  // namespace

std::string size_beyond_curses()
{
    winsize size{};
    ioctl(1, TIOCGWINSZ, &size);
    std::string from;
    long rows = side("LINES", size.ws_row, &from), cols = side("COLUMNS", size.ws_col, &from);
    if (size_fits(rows, cols))
        return "";
    return "a screen of " + std::to_string(cols) + "x" + std::to_string(rows) + (from.empty() ? "" : from + ")");
}

std::string why_no_terminal(const char *type, int error)
{
    std::string size = size_beyond_curses();
    if (!size.empty())
        return "cannot open the terminal: " + size + " is larger than curses can hold";
    if (error != 0 && error != ENOENT)
        return std::string("cannot open the terminal: ") + std::strerror(error);
    return "unknown terminal type (TERM=" + printable(type) + ")";
}

namespace {

// Curses hides why it could not read the terminal's description; if no
// descriptor can be had now (too many open files), that is why, else
// `error`.
int descriptor_error(int error)
{
    int probe = dup(0);
    if (probe < 0)
        return errno;
    close(probe);
    return error;
}

// Whether the terminal just opened can place the cursor; one that cannot
// would show the map as a stream of characters.
bool can_move_cursor() { return capability("cup") != nullptr; }

}  // namespace

bool save_setting()
{
    if (tcgetattr(0, &terminal.found_setting) != 0)
        return false;
    terminal.have_found_setting = true;
    return true;
}

const termios &saved_setting() { return terminal.found_setting; }

bool read_setting(termios *setting) { return tcgetattr(0, setting) == 0; }

bool apply_setting(const termios &setting)
{
    int result;
    do
        result = tcsetattr(0, TCSANOW, &setting);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

void flush_input() { tcflush(0, TCIFLUSH); }

void open_terminal(const char *program)
{
    way_out.give_back_terminal = give_back_terminal;
    if (!isatty(0))
        refuse(program, "standard input is not a terminal");
    if (!isatty(1))
        refuse(program, "standard output is not a terminal");
    const char *type = std::getenv("TERM");
    if (type == nullptr || *type == '\0')
        refuse(program, "TERM is not set");
    save_setting();
    catch_size_changes();
    if (!size_beyond_curses().empty())
        refuse(program, why_no_terminal(type, 0).c_str());
    catch_signal(SIGCONT, on_continue, true);
    errno = 0;
    terminal.opened_screen = newterm(type, stdout, stdin);
    if (terminal.opened_screen == nullptr)
        refuse(program, why_no_terminal(type, descriptor_error(errno)).c_str());
    set_term(terminal.opened_screen);
    if (!can_move_cursor()) {
        // Let go before anything is drawn: curses has only changed the
        // terminal's settings so far.
        delscreen(terminal.opened_screen);
        terminal.opened_screen = nullptr;
        apply_setting(terminal.found_setting);
        refuse(program, "this terminal cannot move the cursor", type);
    }
    append_cap("sgr0");
    append_cap("cnorm");
    append_cap("rmcup");
    install_signal_handlers();
}

bool open_null_terminal(int lines, int cols)
{
    if (terminal.opened_screen != nullptr) {
        endwin();
        delscreen(terminal.opened_screen);
        terminal.opened_screen = nullptr;
    }
    if (terminal.null_file != nullptr) {
        std::fclose(terminal.null_file);
        terminal.null_file = nullptr;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d", lines);
    setenv("LINES", text, 1);
    std::snprintf(text, sizeof text, "%d", cols);
    setenv("COLUMNS", text, 1);
    terminal.null_file = std::fopen("/dev/null", "r+");
    if (terminal.null_file == nullptr)
        return false;
    terminal.opened_screen = newterm("xterm", terminal.null_file, terminal.null_file);
    if (terminal.opened_screen == nullptr) {
        std::fclose(terminal.null_file);
        terminal.null_file = nullptr;
        return false;
    }
    set_term(terminal.opened_screen);
    return true;
}

namespace {

// resize_term rather than resizeterm: the latter also pushes KEY_RESIZE
// into curses' input, which terrarium's gene editor would read as an
// empty answer. Curses first grows the screen to the longer of each old
// and new side, so it is cut to the shorter of each first: from 10x32767
// to 32767x80 it would otherwise ask for 32767x32767.
void resize_screen(int rows, int cols)
{
    int cut_rows = std::min(rows, LINES), cut_cols = std::min(cols, COLS);
    resize_term(cut_rows, cut_cols);
    if (resize_term(rows, cols) == ERR)
        resize_term(cut_rows, cut_cols);
}

}  // namespace

// A side longer than curses can hold is cut to the longest it can; a size
// of too many cells is not followed. Whatever the terminal kept of the
// picture is cleared.
bool follow_size_change()
{
    if (!terminal.size_changed)
        return false;
    terminal.size_changed = 0;
    winsize size;
    if (ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
        int rows = std::min<int>(size.ws_row, LARGEST_SIDE), cols = std::min<int>(size.ws_col, LARGEST_SIDE);
        if (size_fits(rows, cols))
            resize_screen(rows, cols);
    }
    clearok(curscr, TRUE);
    return true;
}

void interrupt_reads_on_size_change(bool interrupt) { catch_signal(SIGWINCH, on_size_change, !interrupt); }

bool follow_continue()
{
    if (!terminal.continued)
        return false;
    terminal.continued = 0;
    clearok(curscr, TRUE);
    return true;
}

}  // namespace common

#include "common/term.h"

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

#include "common/hooks.h"
#include "common/map.h"

namespace common {

namespace {

// A signal (a change of the terminal's size) cuts a sleep short; the rest
// of the popup's time is slept all the same.
void sleep_whole_seconds(unsigned s)
{
    while (s > 0)
        s = sleep(s);
}

void sleep_microseconds(useconds_t us) { usleep(us); }

void *allocate_bytes(std::size_t bytes) { return std::malloc(bytes); }

}  // namespace

const hook_set default_hooks = {nullptr, sleep_whole_seconds, sleep_microseconds, nullptr, allocate_bytes};
hook_set hooks = default_hooks;

namespace {

SCREEN *opened_screen = nullptr;
FILE *null_file = nullptr;
termios found_setting;          // standard input's settings as the user had them
bool have_found_setting = false;
char reset_sequence[256];       // leaves the alternate screen, shows the cursor
size_t reset_length = 0;

// Every signal whose default action ends the process, but for the
// real-time ones, which are numbered at run time (SIGKILL cannot be caught).
const int fatal_signals[] = {SIGTERM, SIGHUP,  SIGINT,    SIGQUIT, SIGSEGV, SIGABRT, SIGBUS,  SIGFPE,
                             SIGILL,  SIGTRAP, SIGSYS,    SIGPIPE, SIGXFSZ, SIGXCPU, SIGUSR1, SIGUSR2,
                             SIGALRM, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSTKFLT};

volatile sig_atomic_t size_changed = 0;
volatile sig_atomic_t continued = 0;

int (*last_words)(int status, bool in_signal_handler, std::string *complaint) = nullptr;

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
    if (reset_length + len >= sizeof reset_sequence)
        return;
    std::memcpy(reset_sequence + reset_length, cap, len);
    reset_length += len;
}

// Writes the reset sequence without ever waiting for the terminal: output
// stopped by flow control is restarted, and a terminal that takes nothing
// more now gets what fits. Async-signal-safe.
void write_reset_sequence()
{
    if (reset_length == 0)
        return;
    tcflow(1, TCOON);
    int flags = fcntl(1, F_GETFL);
    if (flags != -1)
        fcntl(1, F_SETFL, flags | O_NONBLOCK);
    ssize_t ignored = write(1, reset_sequence, reset_length);
    (void)ignored;
    if (flags != -1)
        fcntl(1, F_SETFL, flags);
}

// Only async-signal-safe work here: put back the terminal's attributes,
// write the precomputed reset sequence, then die of the signal itself, so
// that a parent sees the signal and a crash leaves its core dump: the
// default action back, the signal unblocked and raised again. Should the
// process outlive that, it exits with 128 + the signal, as a shell reports
// a death by signal.
extern "C" void on_fatal_signal(int sig)
{
    if (have_found_setting)
        tcsetattr(0, TCSANOW, &found_setting);
    write_reset_sequence();
    if (last_words != nullptr)
        last_words(128 + sig, true, nullptr);
    signal(sig, SIG_DFL);
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, sig);
    sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
    raise(sig);
    _exit(128 + sig);
}

extern "C" void on_size_change(int) { size_changed = 1; }
extern "C" void on_continue(int) { continued = 1; }

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

void install_signal_handlers()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = on_fatal_signal;
    sigemptyset(&action.sa_mask);
    for (int sig : fatal_signals)
        sigaddset(&action.sa_mask, sig);
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; sig++)
        sigaddset(&action.sa_mask, sig);
    for (int sig : fatal_signals)
        sigaction(sig, &action, nullptr);
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; sig++)
        sigaction(sig, &action, nullptr);
}

[[noreturn]] void refuse(const char *program, const char *why, const char *type = nullptr)
{
    std::string complaint;
    if (last_words != nullptr)
        last_words(EXIT_NO_TERMINAL, false, &complaint);
    std::fprintf(stderr, type ? "%s: %s (TERM=%s)\n" : "%s: %s\n", program, why, type);
    std::fputs(complaint.c_str(), stderr);
    std::exit(EXIT_NO_TERMINAL);
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
    return std::string("unknown terminal type (TERM=") + type + ")";
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

void at_way_out(int (*function)(int status, bool in_signal_handler, std::string *complaint))
{
    last_words = function;
}

bool save_setting()
{
    if (tcgetattr(0, &found_setting) != 0)
        return false;
    have_found_setting = true;
    return true;
}

const termios &saved_setting() { return found_setting; }

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
    opened_screen = newterm(type, stdout, stdin);
    if (opened_screen == nullptr)
        refuse(program, why_no_terminal(type, descriptor_error(errno)).c_str());
    set_term(opened_screen);
    if (!can_move_cursor()) {
        // Let go before anything is drawn: curses has only changed the
        // terminal's settings so far.
        delscreen(opened_screen);
        opened_screen = nullptr;
        apply_setting(found_setting);
        refuse(program, "this terminal cannot move the cursor", type);
    }
    append_cap("sgr0");
    append_cap("cnorm");
    append_cap("rmcup");
    install_signal_handlers();
}

bool open_null_terminal(int lines, int cols)
{
    if (opened_screen != nullptr) {
        endwin();
        delscreen(opened_screen);
        opened_screen = nullptr;
    }
    if (null_file != nullptr) {
        std::fclose(null_file);
        null_file = nullptr;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d", lines);
    setenv("LINES", text, 1);
    std::snprintf(text, sizeof text, "%d", cols);
    setenv("COLUMNS", text, 1);
    null_file = std::fopen("/dev/null", "r+");
    if (null_file == nullptr)
        return false;
    opened_screen = newterm("xterm", null_file, null_file);
    if (opened_screen == nullptr) {
        std::fclose(null_file);
        null_file = nullptr;
        return false;
    }
    set_term(opened_screen);
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
    if (!size_changed)
        return false;
    size_changed = 0;
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
    if (!continued)
        return false;
    continued = 0;
    clearok(curscr, TRUE);
    return true;
}

void stop_with(int status, const char *message)
{
    if (hooks.stop)
        hooks.stop(status, message);
    std::string complaint;
    if (last_words != nullptr)
        status = last_words(status, false, &complaint);
    close_world();
    tcflow(1, TCOON);  // output stopped from outside would hang the last writes
    bool restored = !have_found_setting || apply_setting(found_setting);
    if (opened_screen != nullptr)
        endwin();
    if (!restored)
        std::fputs("the terminal's settings could not be restored\n", stderr);
    if (message != nullptr)
        std::fputs(message, stderr);
    std::fputs(complaint.c_str(), stderr);
    std::exit(status);
}

void stop() { stop_with(0, nullptr); }

}  // namespace common

#include "common/term.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

#include "common/hooks.h"
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
} terminal;

const int fatal_signals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE};

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

// Only async-signal-safe work here: put back the terminal's attributes,
// write the precomputed reset sequence, then die of the signal itself, so
// that a parent sees the signal and a crash leaves its core dump: the
// default action back, the signal unblocked and raised again. Should the
// process outlive that, it exits with 128 + the signal, as a shell reports
// a death by signal.
extern "C" void on_fatal_signal(int sig)
{
    if (terminal.have_found_setting)
        tcsetattr(0, TCSANOW, &terminal.found_setting);
    if (terminal.reset_length > 0) {
        ssize_t ignored = write(1, terminal.reset_sequence, terminal.reset_length);
        (void)ignored;
    }
    say_last_words(128 + sig, true);
    signal(sig, SIG_DFL);
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, sig);
    sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
    raise(sig);
    _exit(128 + sig);
}

extern "C" void on_size_change(int) { terminal.size_changed = 1; }

// A change of the terminal's size is only noted here; the main loop
// resizes curses' screen at its next repaint (follow_size_change), where
// the view and the status line are laid out anew with it. Installed
// before curses starts, this handler keeps curses from installing its
// own. SA_RESTART: the keyboard's reads go on undisturbed.
void catch_size_changes()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = on_size_change;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &action, nullptr);
}

void install_signal_handlers()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = on_fatal_signal;
    sigemptyset(&action.sa_mask);
    for (int sig : fatal_signals)
        sigaddset(&action.sa_mask, sig);
    for (int sig : fatal_signals)
        sigaction(sig, &action, nullptr);
}

[[noreturn]] void refuse(const char *program, const char *why, const char *type = nullptr)
{
    stop_with(EXIT_NO_TERMINAL, (type ? text_of("%s: %s (TERM=%s)\n", program, why, type)
                                      : text_of("%s: %s\n", program, why))
                                    .c_str());
}

// The terminal as the user had it, on a stop: its settings, then curses
// closed.
void give_back_terminal()
{
    bool restored = !terminal.have_found_setting || apply_setting(terminal.found_setting);
    if (terminal.opened_screen != nullptr)
        endwin();
    if (!restored)
        std::fputs("the terminal's settings could not be restored\n", stderr);
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
    at_stop_restore(give_back_terminal);
    if (!isatty(0))
        refuse(program, "standard input is not a terminal");
    if (!isatty(1))
        refuse(program, "standard output is not a terminal");
    const char *type = std::getenv("TERM");
    if (type == nullptr || *type == '\0')
        refuse(program, "TERM is not set");
    save_setting();
    catch_size_changes();
    terminal.opened_screen = newterm(type, stdout, stdin);
    if (terminal.opened_screen == nullptr)
        refuse(program, "cannot open the terminal (unknown TERM?)");
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

// resize_term rather than resizeterm: the latter also pushes KEY_RESIZE
// into curses' input, which terrarium's gene editor would read as an
// empty answer. Whatever the terminal kept of the picture is cleared.
bool follow_size_change()
{
    if (!terminal.size_changed)
        return false;
    terminal.size_changed = 0;
    winsize size;
    if (ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0)
        resize_term(size.ws_row, size.ws_col);
    clearok(curscr, TRUE);
    return true;
}

}  // namespace common

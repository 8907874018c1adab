#include "common/term.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

const int fatal_signals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE};

volatile sig_atomic_t size_changed = 0;

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
    if (reset_length > 0) {
        ssize_t ignored = write(1, reset_sequence, reset_length);
        (void)ignored;
    }
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
    std::string complaint;
    if (last_words != nullptr)
        last_words(EXIT_NO_TERMINAL, false, &complaint);
    std::fprintf(stderr, type ? "%s: %s (TERM=%s)\n" : "%s: %s\n", program, why, type);
    std::fputs(complaint.c_str(), stderr);
    std::exit(EXIT_NO_TERMINAL);
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
    opened_screen = newterm(type, stdout, stdin);
    if (opened_screen == nullptr)
        refuse(program, "cannot open the terminal (unknown TERM?)");
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

// resize_term rather than resizeterm: the latter also pushes KEY_RESIZE
// into curses' input, which terrarium's gene editor would read as an
// empty answer. Whatever the terminal kept of the picture is cleared.
bool follow_size_change()
{
    if (!size_changed)
        return false;
    size_changed = 0;
    winsize size;
    if (ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0)
        resize_term(size.ws_row, size.ws_col);
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

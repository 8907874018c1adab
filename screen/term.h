// The terminal and its one owner: opens curses on the user's terminal (or
// on a null device for the tests of what is shown), keeps the terminal's
// settings as it found them, and gives them back on every way out: the
// orderly end, a refusal, a signal or a crash.
#pragma once

#include <curses.h>
#include <string>
#include <termios.h>

#include "screen/stop.h"

namespace common {

// Opens curses on the controlling terminal (standard input and output),
// saves its settings and installs the handlers that restore them. Refuses,
// with a one-line message and EXIT_NO_TERMINAL, when standard input or
// output is not a terminal or the terminal cannot be opened. `program`
// names the program in messages.
void open_terminal(const char *program);

// A screen that curses cannot hold, of the terminal's size or of LINES
// and COLUMNS where set ("a screen of 80x100000 (LINES=100000)"); empty
// when curses can hold it.
std::string size_beyond_curses();

// Why the terminal of this type cannot be opened, `error` being errno as
// newterm left it (0 before trying): a screen curses cannot hold, a
// failure of the system (too many open files), or else a type unknown.
std::string why_no_terminal(const char *type, int error);

// Opens curses on /dev/null with a screen of `lines` x `cols`, for the
// tests and benchmarks of the display; a second call replaces the screen
// of the first. False
// when curses cannot be started.
bool open_null_terminal(int lines, int cols);

// The settings of standard input as the user had them: save_setting
// reads them once, before curses opens (false when standard input is not
// a terminal); saved_setting gives them. read_setting reads them as they
// are now, which curses may have changed.
bool save_setting();
const termios &saved_setting();
bool read_setting(termios *setting);

// Applies settings to standard input at once; false when they could not
// be applied (after retrying an interrupted call).
bool apply_setting(const termios &setting);

// Drops the keys typed on the terminal and not read yet.
void flush_input();

// Whether the terminal's size changed since the last call; if so, curses'
// screen (LINES, COLS, stdscr) now has the terminal's new size and the
// next refresh draws everything anew. Other windows are best made anew.
// A side longer than curses can hold is cut to the longest it can.
bool follow_size_change();

// While true, a change of the terminal's size cuts short a read from the
// keyboard (the read fails with EINTR), so that a window waiting for an
// answer can be drawn anew at once.
void interrupt_reads_on_size_change(bool interrupt);

// Whether the program was continued after a stop since the last call; if
// so, the next refresh draws everything anew, over whatever was written on
// the terminal meanwhile.
bool follow_continue();

}  // namespace common

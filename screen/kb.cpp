#include "screen/kb.h"

#include <termios.h>
#include <unistd.h>

#include "screen/term.h"

namespace common {

namespace {

// One-byte look-ahead. Its own flag says whether it holds a byte, because
// a byte 0xFF, held sign-extended as -1, must not read as "empty": that
// would leave the key loop blocked in read_kb until the next key.
struct keyboard_state {
    int peek_char = -1;
    bool peek_full = false;
    termios new_setting;  // raw mode applied while the program runs
} keyboard;

void set_vmin(int vmin)
{
    keyboard.new_setting.c_cc[VMIN] = static_cast<cc_t>(vmin);
    apply_setting(keyboard.new_setting);
}

}  // namespace

// Raw mode is made from the settings as curses left them (it turns the
// terminal's own echo off, echoing in its windows where it echoes at all).
// Flow control goes too: Ctrl-S would stop the program's output, so that
// it hung at its next screen update, and even at a signal's reset of the
// terminal; Ctrl-S and Ctrl-Q are keys like the other control keys.
bool init_kb()
{
    if (!read_setting(&keyboard.new_setting))
        return false;
    keyboard.new_setting.c_lflag &= ~static_cast<tcflag_t>(ISIG | ICANON | XCASE);
    keyboard.new_setting.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    keyboard.new_setting.c_cc[VMIN] = 1;
    keyboard.new_setting.c_cc[VTIME] = 0;
    return apply_setting(keyboard.new_setting);
}

int close_kb() { return apply_setting(saved_setting()) ? 0 : -1; }

int kb_hit()
{
    if (keyboard.peek_full)
        return 1;
    set_vmin(0);
    char ch;
    ssize_t nread = read(0, &ch, 1);
    set_vmin(1);
    if (nread == 1) {
        keyboard.peek_char = static_cast<signed char>(ch);
        keyboard.peek_full = true;
        return 1;
    }
    return 0;
}

int read_kb()
{
    if (keyboard.peek_full) {
        keyboard.peek_full = false;
        return keyboard.peek_char;
    }
    char ch = 0;
    if (read(0, &ch, 1) != 1)
        return 0;
    return static_cast<signed char>(ch);
}

}  // namespace common

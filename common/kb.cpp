#include "common/kb.h"

#include <termios.h>
#include <unistd.h>

namespace {

// One-byte look-ahead. Its own flag says whether it holds a byte, because
// a byte 0xFF, held sign-extended as -1, must not read as "empty": that
// would leave the key loop blocked in read_kb until the next key.
int peek_char = -1;
bool peek_full = false;
struct termios init_setting; // attributes as found at start-up
struct termios new_setting;  // raw mode applied while the program runs
bool active = false;

}  // namespace

void init_kb()
{
    tcgetattr(0, &init_setting);
    new_setting = init_setting;
    new_setting.c_lflag &= ~static_cast<tcflag_t>(ISIG | ICANON | XCASE);
    new_setting.c_cc[VMIN] = 1;
    new_setting.c_cc[VTIME] = 0;
    tcsetattr(0, TCSANOW, &new_setting);
    active = true;
}

int close_kb()
{
    active = false;
    return tcsetattr(0, TCSANOW, &init_setting);
}

bool kb_active() { return active; }

int kb_hit()
{
    if (peek_full)
        return 1;
    new_setting.c_cc[VMIN] = 0;
    tcsetattr(0, TCSANOW, &new_setting);
    char ch;
    ssize_t nread = read(0, &ch, 1);
    new_setting.c_cc[VMIN] = 1;
    tcsetattr(0, TCSANOW, &new_setting);
    if (nread == 1) {
        peek_char = static_cast<signed char>(ch);
        peek_full = true;
        return 1;
    }
    return 0;
}

int read_kb()
{
    if (peek_full) {
        peek_full = false;
        int ch = peek_char;
        peek_char = -1;
        return ch;
    }
    char ch = 0;
    if (read(0, &ch, 1) != 1)
        return 0;
    return static_cast<signed char>(ch);
}

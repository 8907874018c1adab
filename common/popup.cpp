#include "common/popup.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <curses.h>

#include "common/hooks.h"

namespace common {

void dopopup(const char *text, int seconds)
{
    if (hooks.popup)
        hooks.popup(text, seconds);
    int width = static_cast<int>(std::strlen(text)) + 4;
    WINDOW *win = newwin(3, width, 5, 10);
    if (win) {
        wborder(win, '|', '|', '-', '-', 0, 0, 0, 0);
        mvwprintw(win, 1, 2, "%s", text);
        wrefresh(win);
    }
    hooks.sleep_seconds(static_cast<unsigned>(seconds));
    if (win)
        delwin(win);
}

std::string text_of(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(&text[0], text.size() + 1, format, again);
    va_end(again);
    return text;
}

}  // namespace common

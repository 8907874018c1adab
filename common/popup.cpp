#include "common/popup.h"

#include <cstring>
#include <curses.h>

#include "common/term.h"

void (*popup_observer)(const char *, int) = nullptr;

void dopopup(const char *text, int seconds)
{
    if (popup_observer)
        popup_observer(text, seconds);
    int width = static_cast<int>(std::strlen(text)) + 4;
    WINDOW *win = newwin(3, width, 5, 10);
    if (win) {
        wborder(win, '|', '|', '-', '-', 0, 0, 0, 0);
        mvwprintw(win, 1, 2, "%s", text);
        wrefresh(win);
    }
    sleep_seconds(seconds);
    if (win)
        delwin(win);
}

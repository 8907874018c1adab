#include "common/popup.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/hooks.h"

namespace common {

WINDOW *open_box(int rows, int cols, int row, int col)
{
    rows = std::min(rows, LINES);
    cols = std::min(cols, COLS);
    WINDOW *box = newwin(rows, cols, std::min(row, LINES - rows), std::min(col, COLS - cols));
    if (box != nullptr)
        wborder(box, '|', '|', '-', '-', 0, 0, 0, 0);
    return box;
}

void box_text(WINDOW *box, int row, int col, const char *text)
{
    int room = getmaxx(box) - 1 - col;
    if (room > 0)
        mvwaddnstr(box, row, col, text, room);
}

void dopopup(const char *text, int seconds)
{
    if (hooks.popup)
        hooks.popup(text, seconds);
    int width = static_cast<int>(std::strlen(text)) + 4;
    WINDOW *win = open_box(3, width, 5, 10);
    if (win) {
        box_text(win, 1, 2, text);
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

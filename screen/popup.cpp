#include "screen/popup.h"

#include <algorithm>
#include <string>

#include "common/hooks.h"
#include "common/text.h"

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
    // A name from outside (a saved file's) stays on the box's one row.
    std::string shown = printable(text);
    if (hooks.popup)
        hooks.popup(shown.c_str(), seconds);
    int width = static_cast<int>(shown.size()) + 4;
    WINDOW *win = open_box(3, width, 5, 10);
    if (win) {
        box_text(win, 1, 2, shown.c_str());
        wrefresh(win);
    }
    hooks.sleep_seconds(static_cast<unsigned>(seconds));
    if (win)
        delwin(win);
}

}  // namespace common

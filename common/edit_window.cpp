#include "common/edit_window.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/popup.h"

namespace common {

std::string gene_digits(const gene_t *dna, int genes)
{
    std::string text;
    for (int i = 0; i < genes; i++)
        text += std::to_string(dna[i]);
    return text;
}

WINDOW *open_edit_window(char race, const gene_t *dna, int genes)
{
    WINDOW *win = open_box(9, 45, 5, 10);
    if (win == nullptr)
        return nullptr;
    box_text(win, 1, 2, "Edit window");
    box_text(win, 2, 2, std::string(1, race).c_str());
    box_text(win, 2, 4, gene_digits(dna, genes).c_str());
    wrefresh(win);
    return win;
}

void edit_prompt(WINDOW *win, const char *format, ...)
{
    char text[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    box_text(win, 4, 2, text);
    wrefresh(win);
}

bool race_ok(int c) { return c > ' ' && c <= '~' && std::strchr(".*!@~#", c) == nullptr; }

}  // namespace common

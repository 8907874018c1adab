#include "common/cell.h"

int cell_read(WINDOW *pad, int row, int col, char *glyph)
{
    if (wmove(pad, row, col) == ERR)
        return -1;
    char text[2];
    if (winnstr(pad, text, 1) == ERR)
        return -1;
    *glyph = text[0];
    return 0;
}

void cell_write(WINDOW *pad, int row, int col, char glyph)
{
    mvwprintw(pad, row, col, "%c", glyph);
}

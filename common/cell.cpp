#include "common/cell.h"

// Reads go straight to the pad's line array instead of through wmove and
// winch: reads are most of a bug's turn, and the two library calls cost
// several times the load itself. curses here keeps its window structure
// visible, but not the line record; this is its layout, the same in
// every ncurses since 5 (checked by the cell tests against winch). A
// read leaves the pad's cursor alone: every turn ends with a write, which
// places the cursor that a refresh shows.
struct ldat {
    chtype *text;
    NCURSES_SIZE_T firstchar;
    NCURSES_SIZE_T lastchar;
    NCURSES_SIZE_T oldindex;
};

namespace {

bool on_pad(const WINDOW *pad, int row, int col)
{
    return pad != nullptr && row >= 0 && col >= 0 && row <= pad->_maxy && col <= pad->_maxx;
}

// A cell's chtype holds the character in its A_CHARTEXT bits, which is
// what winch and winnstr give for it.
char char_of(chtype cell) { return static_cast<char>(cell & A_CHARTEXT); }

}  // namespace

int cell_read(WINDOW *pad, int row, int col, char *glyph)
{
    if (!on_pad(pad, row, col))
        return -1;
    *glyph = char_of(pad->_line[row].text[col]);
    return 0;
}

int cell_read_row(WINDOW *pad, int row, char *glyphs, int count)
{
    if (!on_pad(pad, row, 0) || count < 0 || count > pad->_maxx + 1)
        return -1;
    const chtype *text = pad->_line[row].text;
    for (int col = 0; col < count; col++)
        glyphs[col] = char_of(text[col]);
    return 0;
}

// waddch is what a "%c" print ends in, without the formatting.
void cell_write(WINDOW *pad, int row, int col, char glyph)
{
    // A NUL prints as an empty string: the cursor moves, nothing is written.
    if (glyph == '\0')
        wmove(pad, row, col);
    else
        mvwaddch(pad, row, col, static_cast<unsigned char>(glyph));
}

#include "common/food.h"

#include <cstdlib>

#include "common/cell.h"

void place_food(WINDOW *pad, int rows, int cols)
{
    if (std::rand() % 11 > 1)
        return;
    int row = std::rand() % rows;
    int col = std::rand() % cols;
    char glyph = 0;
    cell_read(pad, row, col, &glyph);
    if (glyph == ' ')
        cell_write(pad, row, col, '.');
}

namespace {

void sow(WINDOW *pad, int row, int col)
{
    char glyph = 0;
    cell_read(pad, row, col, &glyph);
    if (glyph == ' ')
        cell_write(pad, row, col, '.');
}

}  // namespace

void grow_food(WINDOW *pad, int rows, int cols)
{
    char glyph = 0;
    for (int x = 0; x < cols; x++)
        for (int y = 0; y < rows; y++) {
            cell_read(pad, y, x, &glyph);
            if (glyph == '*')
                cell_write(pad, y, x, '!');
            else if (glyph == '.')
                cell_write(pad, y, x, '*');
        }
    for (int x = 0; x < cols; x++)
        for (int y = 0; y < rows; y++) {
            cell_read(pad, y, x, &glyph);
            if (glyph != '@')
                continue;
            sow(pad, (y - 1 + rows) % rows, x);
            sow(pad, y, (x + 1) % cols);
            sow(pad, (y + 1) % rows, x);
            sow(pad, y, (x - 1 + cols) % cols);
        }
    for (int x = 0; x < cols; x++)
        for (int y = 0; y < rows; y++) {
            cell_read(pad, y, x, &glyph);
            if (glyph == '!')
                cell_write(pad, y, x, '@');
        }
}

// The parts of a birth that both programs share: the partner on the cell
// the parent faces, and the search for a blank cell for the child.
#pragma once

#include <curses.h>

// The cell next to (y, x) in facing `vector` on a rows x cols map. A facing
// outside 0 to 3 gives false, after its diagnostic line.
bool faced_cell(int vector, int y, int x, int rows, int cols, int *row, int *col);

// A blank cell for a child of the bug at (y, x): tries cells in a box
// around it that grows by one cell on each side with every try. False when
// the map has no blank cell at all (looked for once the tries get long).
bool find_child_cell(WINDOW *pad, int rows, int cols, int y, int x, int *row, int *col);

// The child's genes, one by one: from the parent 5 times in 9, from the
// partner 3 times in 9, a new random gene once in 9.
void mix_genes(int *child, const int *parent, const int *partner, int genes);

// The second parent: the parent itself when it is fed well enough, else
// the bug on the cell it faces, found by `findbug`.
template <class Bug>
Bug *partner_of(Bug *parent, bool own_partner, int rows, int cols, Bug *(*findbug)(int, int))
{
    if (own_partner)
        return parent;
    int row = 0, col = 0;
    if (!faced_cell(parent->vector, parent->y, parent->x, rows, cols, &row, &col))
        return parent;
    return findbug(row, col);
}

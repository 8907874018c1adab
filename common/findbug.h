// The lookup of a bug by the cell it stands on, for either program's
// record type.
#pragma once

#include <curses.h>

#include "common/cell_index.h"
#include "common/term.h"

// The diagnostic lines of a lookup that found no bug: the looking bug's
// cell and facing, then the cell looked at.
const char *lost_bug_report(int x, int y, int vector, int row, int col);

// The first bug in ring order from `cursor` (itself first) standing on
// (row, col), by walking the ring; null when none does.
template <class Bug>
Bug *walk_to_bug(Bug *cursor, int row, int col)
{
    Bug *b = cursor;
    do {
        if (b->x == col && b->y == row)
            return b;
        b = b->next;
    } while (b != cursor);
    return nullptr;
}

// walk_to_bug, or the end of the program with the report.
template <class Bug>
Bug *find_bug(Bug *cursor, int row, int col, WINDOW *pad)
{
    Bug *b = walk_to_bug(cursor, row, col);
    if (b == nullptr)
        leave(EXIT_LOST_BUG, lost_bug_report(cursor->x, cursor->y, cursor->vector, row, col), pad);
    return b;
}

// The same bug as walk_to_bug, from the index of bugs by cell. A cell that
// no bug of the ring occupies is an inconsistency that cannot be carried
// on: the program ends with the report.
template <class Bug>
Bug *find_indexed(const cell_index<Bug> &index, Bug *cursor, int row, int col, WINDOW *pad)
{
    Bug *b = index.first_from(cursor, row, col);
    if (b == nullptr)
        leave(EXIT_LOST_BUG, lost_bug_report(cursor->x, cursor->y, cursor->vector, row, col), pad);
    return b;
}

#include "terrarium/findbug.h"

namespace terrarium {

common::bug_index<bug> bugs_by_cell;

bug *findbug(int row, int col) { return common::find_on_cell(bugs_by_cell, refs.cursor, row, col); }

}  // namespace terrarium

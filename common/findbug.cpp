#include "common/findbug.h"

#include "common/text.h"

namespace common {

std::string lost_bug_report(int x, int y, int facing, int row, int col)
{
    return text_of("this bug if fucked\nbug x =%i\nbug y =%i\nbug v =%i\nlook x =%i\nlook y =%i\n", x, y, facing, col,
                   row);
}

}  // namespace common

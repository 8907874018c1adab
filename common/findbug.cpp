#include "common/findbug.h"

#include <cstdio>

namespace common {

const char *lost_bug_report(int x, int y, int vector, int row, int col)
{
    static char report[256];
    std::snprintf(report, sizeof report,
                  "this bug if fucked\nbug x =%i\nbug y =%i\nbug v =%i\nlook x =%i\nlook y =%i\n", x, y,
                  vector, col, row);
    return report;
}

}  // namespace common

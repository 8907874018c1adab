#include "programs/terrarium/view_t.h"

#include <curses.h>

#include "common/hooks.h"
#include "screen/popup.h"
#include "common/text.h"

namespace terrarium {

void view_t(const bug *b)
{
    WINDOW *win = common::open_box(9, 35, 2, 2);
    if (win != nullptr) {
        int n = 0;
        int row = 1;
        for (int g = 0; g < GLYPHS; g++) {
            if (b->motive[g] == 0)
                continue;
            // Entries past the window's last row are refused by curses.
            common::box_text(win, row, (n % 4) * 8 + 2, text_of("%c %+4.4i ", g, b->motive[g]).c_str());
            n++;
            if (n % 4 == 0)
                row++;
        }
        wrefresh(win);
    }
    common::hooks.sleep_seconds(10);
    if (win != nullptr)
        delwin(win);
}

}  // namespace terrarium

#include "programs/vivarium/driver.h"

#include "screen/popup.h"
#include "programs/vivarium/edit.h"
#include "vivarium/rules.h"
#include "vivarium/stat.h"
#include "programs/vivarium/stat_screen.h"

namespace vivarium {

namespace {

// vivarium on the screen: its description, and its key help, statistics
// screen, gene editor and own key commands.
struct screen : description {
    static constexpr const char *help = "x 1234 vdcegz hjkl fstpn";
    static constexpr auto stat = vivarium::stat;
    static constexpr auto edit = vivarium::edit;

    static bool key(const world &w, int key)
    {
        const bug *b = w.refs.selected;
        switch (key) {
        case 'v': common::dopopup(text_of("x=%i  y=%i", b->x, b->y).c_str(), 2); return true;
        case 'c':
            common::dopopup(text_of("R=%c G=%i A=%i F=%i", b->race, b->gen, b->age, b->food).c_str(), 3);
            return true;
        default: return false;
        }
    }
};

}  // namespace

const common::program vivarium_program = common::program_of<screen>(world_rules);

}  // namespace vivarium

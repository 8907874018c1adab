#include "vivarium/driver.h"

#include "common/popup.h"
#include "vivarium/edit.h"
#include "vivarium/rules.h"
#include "vivarium/stat.h"

namespace vivarium {

namespace {

const bug *selected(const common::session &s) { return of(s.world).refs.selected; }

const common::key_command own_keys[] = {
    {'v',
     [](common::session &s) {
         const bug *b = selected(s);
         common::dopopup(text_of("x=%i  y=%i", b->x, b->y).c_str(), 2);
     }},
    {'c',
     [](common::session &s) {
         const bug *b = selected(s);
         common::dopopup(text_of("R=%c G=%i A=%i F=%i", b->race, b->gen, b->age, b->food).c_str(), 3);
     }},
    {0, nullptr},
};

}  // namespace

const common::program vivarium_program =
    common::program_of<world, trackers, edit>(world_rules, "x 1234 vdcegz hjkl fstpn", stat, own_keys);

}  // namespace vivarium

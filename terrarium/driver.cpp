#include "terrarium/driver.h"

#include "common/popup.h"
#include "terrarium/edit.h"
#include "terrarium/rules.h"
#include "terrarium/stat.h"
#include "terrarium/view_t.h"

namespace terrarium {

namespace {

const bug *selected(const common::session &s) { return of(s.world).refs.selected; }

void world_statistics(common::session &s)
{
    const world &w = of(s.world);
    long long area = static_cast<long long>(w.map.cols()) * w.map.rows();
    double water = (w.water_cells * 100LL) / static_cast<double>(area);
    double mountain = (w.mountain_cells * 100LL) / static_cast<double>(area);
    double rest = ((area - w.water_cells - w.mountain_cells) * 100LL) / static_cast<double>(area);
    common::dopopup(text_of("A=%lld W=%.2f M=%.2f S=%.2f", area, water, mountain, rest).c_str(), 5);
}

const common::key_command own_keys[] = {
    {'v',
     [](common::session &s) {
         const bug *b = selected(s);
         common::dopopup(text_of("x=%i  y=%i  v=%i", b->x, b->y, b->facing).c_str(), 2);
     }},
    {'c',
     [](common::session &s) {
         const bug *b = selected(s);
         common::dopopup(text_of("R=%c G=%i A=%i Fd=%i S=%i Fv=%i F@=%i ", b->race, b->gen, b->age, b->food, b->size,
                                 b->vision, attraction(b, '@'))
                             .c_str(),
                         3);
     }},
    {'b', [](common::session &s) { view_t(selected(s)); }},
    {'w', world_statistics},
    {0, nullptr},
};

}  // namespace

const common::program terrarium_program = common::program_of<world, trackers, edit>(
    world_rules, "x 12345 vdcegzb hjklw fstpn ", stat, own_keys);

}  // namespace terrarium

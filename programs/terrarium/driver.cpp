#include "programs/terrarium/driver.h"

#include "screen/popup.h"
#include "programs/terrarium/edit.h"
#include "terrarium/rules.h"
#include "terrarium/stat.h"
#include "programs/terrarium/stat_screen.h"
#include "programs/terrarium/view_t.h"

namespace terrarium {

namespace {

void world_statistics(const world &w)
{
    long long area = static_cast<long long>(w.map.cols()) * w.map.rows();
    double water = (w.water_cells * 100LL) / static_cast<double>(area);
    double mountain = (w.mountain_cells * 100LL) / static_cast<double>(area);
    double rest = ((area - w.water_cells - w.mountain_cells) * 100LL) / static_cast<double>(area);
    common::dopopup(text_of("A=%lld W=%.2f M=%.2f S=%.2f", area, water, mountain, rest).c_str(), 5);
}

// terrarium on the screen: its description, and its key help, statistics
// screen, gene editor and own key commands.
struct screen : description {
    static constexpr const char *help = "x 12345 vdcegzb hjklw fstpn ";
    static constexpr auto stat = terrarium::stat;
    static constexpr auto edit = terrarium::edit;

    static bool key(const world &w, int key)
    {
        const bug *b = w.refs.selected;
        switch (key) {
        case 'v': common::dopopup(text_of("x=%i  y=%i  v=%i", b->x, b->y, b->facing).c_str(), 2); return true;
        case 'c':
            common::dopopup(text_of("R=%c G=%i A=%i Fd=%i S=%i Fv=%i F@=%i ", b->race, b->gen, b->age, b->food,
                                    b->size, b->vision, attraction(b, '@'))
                                .c_str(),
                            3);
            return true;
        case 'b': view_t(b); return true;
        case 'w': world_statistics(w); return true;
        default: return false;
        }
    }
};

}  // namespace

const common::program terrarium_program = common::program_of<screen>(world_rules);

}  // namespace terrarium

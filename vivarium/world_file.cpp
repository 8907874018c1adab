// vivarium's part of a world file: its population and its bugs.
#include "storage/world_file.h"
#include "vivarium/rules.h"

namespace vivarium {

namespace {

// After the fields every bug has: the glyph it eats, always '@'.
void write_own(common::field_writer &out, const bug &b) { out.u8(static_cast<unsigned char>(b.food_glyph)); }

void read_own(common::field_reader &in, bug &b)
{
    b.food_glyph = static_cast<char>(in.u8());
    if (b.food_glyph != '@')
        in.fail("a bug that eats no food");
}

}  // namespace

void write_world(common::field_writer &out, const world &w)
{
    out.i32(w.population);
    common::write_ring(out, w, write_own);
}

int read_world(common::field_reader &in, world &w)
{
    w.population = in.i32();
    int status = in.ok() ? common::read_ring(in, w, read_own) : 0;
    if (in.ok() && w.population != ring_size(w.refs.cursor))
        in.fail("its population differs from its bugs");
    return status;
}

}  // namespace vivarium

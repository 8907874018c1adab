// vivarium's part of a world file: its population and its bugs.
#include "common/world_file.h"
#include "vivarium/rules.h"

namespace vivarium {

namespace {

// A bound on the counters that grow through a run (food, age,
// generation): no run comes near it, and arithmetic on values within it
// cannot overflow.
constexpr int COUNTER_LIMIT = 1000000000;
constexpr const char *BAD_BUG = "a bug's field out of range";

void write_bug(common::field_writer &out, const bug &b)
{
    for (int v : {b.x, b.y, b.facing, b.food, b.age, b.gen, b.size})
        out.i32(v);
    out.u8(static_cast<unsigned char>(b.food_glyph));
    out.u8(static_cast<unsigned char>(b.race));
    out.bytes(reinterpret_cast<const char *>(b.dna), sizeof b.dna);
}

bool read_bug(common::field_reader &in, const world &w, bug &b)
{
    b.x = in.i32_in(0, w.map.cols() - 1, BAD_BUG);
    b.y = in.i32_in(0, w.map.rows() - 1, BAD_BUG);
    b.facing = in.i32_in(0, 3, BAD_BUG);
    b.food = in.i32_in(-COUNTER_LIMIT, COUNTER_LIMIT, BAD_BUG);
    b.age = in.i32_in(-COUNTER_LIMIT, COUNTER_LIMIT, BAD_BUG);
    b.gen = in.i32_in(-COUNTER_LIMIT, COUNTER_LIMIT, BAD_BUG);
    b.size = in.i32_in(2, 100, BAD_BUG);
    b.food_glyph = static_cast<char>(in.u8());
    b.race = static_cast<char>(in.u8());
    in.bytes(reinterpret_cast<char *>(b.dna), sizeof b.dna);
    bool good = in.ok() && b.food_glyph == '@' && common::race_ok(b.race);
    for (int gene : b.dna)
        good = good && common::gene_ok(gene);
    return good;
}

void write_world(common::field_writer &out, const common::world_base &in)
{
    const world &w = of(in);
    out.i32(w.population);
    common::write_ring(out, w, write_bug);
}

int read_world(common::field_reader &in, common::world_base &into)
{
    world &w = of(into);
    w.population = in.i32();
    int status = in.ok() ? common::read_ring(in, w, read_bug) : 0;
    if (in.ok() && w.population != ring_size(w.refs.cursor))
        in.fail("its population differs from its bugs");
    return status;
}

}  // namespace

const common::world_codec file_codec = {write_world, read_world};

}  // namespace vivarium

// terrarium's part of a world file: the options the world was made with,
// its terrain counts, and its bugs.
#include "common/world_file.h"
#include "terrarium/rules.h"

namespace terrarium {

namespace {

// A bound on the counters that grow through a run (food, age, generation,
// attractions): no run comes near it, and arithmetic on values within it
// cannot overflow.
constexpr int COUNTER_LIMIT = 1000000000;
constexpr int VISION_LIMIT = 1000;
constexpr const char *BAD_BUG = "a bug's field out of range";

void write_bug(common::field_writer &out, const bug &b)
{
    for (int v : {b.x, b.y, b.facing, b.food, b.age, b.gen, b.size, b.vision})
        out.i32(v);
    out.u8(static_cast<unsigned char>(b.race));
    out.bytes(reinterpret_cast<const char *>(b.dna), sizeof b.dna);
    // Most attractions are 0: only the others are written, by glyph.
    int set = 0;
    for (int v : b.motive)
        set += v != 0;
    out.i32(set);
    for (int code = 0; code < GLYPHS; code++)
        if (b.motive[code] != 0) {
            out.u8(static_cast<unsigned>(code));
            out.i32(b.motive[code]);
        }
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
    b.vision = in.i32_in(-VISION_LIMIT, VISION_LIMIT, BAD_BUG);
    b.race = static_cast<char>(in.u8());
    in.bytes(reinterpret_cast<char *>(b.dna), sizeof b.dna);
    bool good = in.ok() && common::race_ok(b.race);
    for (int gene : b.dna)
        good = good && common::gene_ok(gene);
    int set = in.i32_in(0, GLYPHS, BAD_BUG);
    for (int i = 0, last = -1; good && in.ok() && i < set; i++) {
        int code = static_cast<int>(in.u8());
        good = code > last;
        last = code;
        b.motive[code] = in.i32_in(-COUNTER_LIMIT, COUNTER_LIMIT, BAD_BUG);
    }
    return good && in.ok();
}

void write_world(common::field_writer &out, const common::world_base &in)
{
    const world &w = of(in);
    uint32_t size_bits;
    std::memcpy(&size_bits, &w.shape.world_size, sizeof size_bits);
    out.u32(size_bits);
    for (int v : {w.shape.roughness, w.shape.grid_size, w.mountain_cells, w.water_cells})
        out.i32(v);
    common::write_ring(out, w, write_bug);
}

int read_world(common::field_reader &in, common::world_base &into)
{
    world &w = of(into);
    uint32_t size_bits = in.u32();
    std::memcpy(&w.shape.world_size, &size_bits, sizeof size_bits);
    if (!(w.shape.world_size >= 0.25f && w.shape.world_size <= 30.0f))
        in.fail("a world size out of range");
    w.shape.roughness = in.i32_in(1, 1000, "a roughness out of range");
    w.shape.grid_size = in.i32_in(2, 8, "a grid size out of range");
    int area = w.map.rows() * w.map.cols();
    w.mountain_cells = in.i32_in(0, area, "a terrain count out of range");
    w.water_cells = in.i32_in(0, area - w.mountain_cells, "a terrain count out of range");
    return in.ok() ? common::read_ring(in, w, read_bug) : 0;
}

}  // namespace

const common::world_codec file_codec = {write_world, read_world};

}  // namespace terrarium

// terrarium's part of a world file: the options the world was made with,
// its terrain counts, and its bugs.
#include "storage/world_file.h"
#include "terrarium/rules.h"

namespace terrarium {

namespace {

// Vision only falls after a birth, by one with every fight: downwards it
// is bounded as the counters are.
constexpr int VISION_LIMIT = 1000;

// After the fields every bug has: its vision, then its attractions.
void write_own(common::field_writer &out, const bug &b)
{
    out.i32(b.vision);
    if (b.vision < -common::COUNTER_LIMIT || b.vision > VISION_LIMIT)
        out.refuse(common::BAD_BUG_FIELD);
    // Most attractions are 0: only the others are written, by glyph.
    int set = 0;
    for (int v : b.motive)
        set += v != 0;
    out.i32(set);
    for (int code = 0; code < GLYPHS; code++)
        if (b.motive[code] != 0) {
            out.u8(static_cast<unsigned>(code));
            out.i32(b.motive[code]);
            if (b.motive[code] < -common::COUNTER_LIMIT || b.motive[code] > common::COUNTER_LIMIT)
                out.refuse(common::BAD_BUG_FIELD);
        }
}

void read_own(common::field_reader &in, bug &b)
{
    b.vision = in.i32_in(-common::COUNTER_LIMIT, VISION_LIMIT, common::BAD_BUG_FIELD);
    int set = in.i32_in(0, GLYPHS, common::BAD_BUG_FIELD);
    for (int i = 0, last = -1; in.ok() && i < set; i++) {
        int code = static_cast<int>(in.u8());
        if (code <= last)
            in.fail("a bug's attractions out of order");
        last = code;
        b.motive[code] = in.i32_in(-common::COUNTER_LIMIT, common::COUNTER_LIMIT, common::BAD_BUG_FIELD);
    }
}

}  // namespace

void write_world(common::field_writer &out, const world &w)
{
    uint32_t size_bits;
    std::memcpy(&size_bits, &w.shape.world_size, sizeof size_bits);
    out.u32(size_bits);
    for (int v : {w.shape.roughness, w.shape.grid_size, w.mountain_cells, w.water_cells})
        out.i32(v);
    common::write_ring(out, w, write_own);
}

int read_world(common::field_reader &in, world &w)
{
    uint32_t size_bits = in.u32();
    std::memcpy(&w.shape.world_size, &size_bits, sizeof size_bits);
    if (!(w.shape.world_size >= 0.25f && w.shape.world_size <= 30.0f))
        in.fail("a world size out of range");
    w.shape.roughness = in.i32_in(1, 1000, "a roughness out of range");
    w.shape.grid_size = in.i32_in(2, 8, "a grid size out of range");
    int area = w.map.rows() * w.map.cols();
    w.mountain_cells = in.i32_in(0, area, "a terrain count out of range");
    w.water_cells = in.i32_in(0, area - w.mountain_cells, "a terrain count out of range");
    return in.ok() ? common::read_ring(in, w, read_own) : 0;
}

}  // namespace terrarium

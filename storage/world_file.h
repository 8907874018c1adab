// World files: a world written to disk and read back exactly, so that a
// run can be resumed, moved to another machine or branched.
//
// A file is a small fixed header (see docs/world-file.md), then the world
// as one zstd frame with its content checksum: since version 2, a run of
// tagged sections, the world's own and the session's that ran it, each
// with its length and whether a reader must understand it. Every field is fixed-width
// little-endian. Writing goes to a temporary file in the same directory,
// which is flushed to disk and renamed over the old file, and the
// directory is flushed: at any moment the old or the new file is whole.
// Reading checks every count against the header and the file's length
// before it allocates, and every value a rule would index with, so a
// damaged file is refused, never believed.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/decide.h"
#include "common/drawn_selection.h"
#include "common/rules.h"
#include "common/outcome.h"
#include "common/world.h"

namespace common {

// Every save writes this version; version 1 (no sections) still reads.
constexpr uint32_t WORLD_FORMAT_VERSION = 2;

// How a session was running the world when it was saved: it goes on the
// same way when resumed.
struct run_state {
    int speed = 1;              // microseconds slept at each pass boundary (the session's)
    bool paused = false;        // paused or single-stepping (the session's)
    // The world's run's: saved after a pass boundary's work and before the next turn (from
    // the keys, which are read there), rather than before the boundary:
    // the run resumes with that turn.
    bool turn_pending = false;
    selected_cells selected{};  // the cells drawn for the selected bug
    // Read only: the version of the program that saved the file ("1.0"),
    // empty when the file does not say. A save writes this build's.
    std::string written_by{};
};

// What the header of a world file says.
struct world_header {
    std::string program;        // "terrarium" or "vivarium"
    uint32_t version = 0;       // the format's version
    int rows = 0, cols = 0;     // the map's size
    long passes = 0;
    long long population = 0;   // bugs in the ring
    uint64_t body_bytes = 0;    // the compressed world after the header
    uint64_t world_bytes = 0;   // the world uncompressed
};

// Writes `w`, run by `r` as `run` says, to `path` safely (above). False
// with one line in *why when it could not: the old file, if any, is then
// as it was, and nothing is left behind but, after a kill -9, the
// temporary file (".NAME.tmp-XXXXXX", beside `path`).
bool save_world(const std::string &path, const world_base &w, const rules &r, const run_state &run,
                std::string *why);

// save_world in two steps, so that a process can begin a save and a
// child of it write it, while the parent knows the temporary file.
struct save_file {
    std::string path;        // the file saved to
    std::string temporary;   // beside it, created exclusively at a name no one can guess
    int fd = -1;
    bool replace = true;     // else the save fails should `path` have come to exist
};

// Begins a save of `w` to `path`: refused, with one line in *why, when no
// bug is left or `path` is there and not a regular file (a symbolic link
// included, which is never replaced by a file nor followed); otherwise its
// temporary file made, with the old file's mode and group, or else as the
// umask says for a new file.
bool begin_save(const std::string &path, bool replace, const world_base &w, const rules &r, save_file *file,
                std::string *why);

// Writes the world into the temporary file, which then takes the name
// `path`. On failure, with one line in *why, the temporary file is
// removed. A file size limit fails the save only.
bool finish_save(save_file *file, const world_base &w, const rules &r, const run_state &run, std::string *why);

// The temporary file of a save begun and never finished, removed.
void abandon_save(save_file *file);

// The world of the file at `path` into `w`, a new world of `r`'s program
// that was never opened or started; how it was run into *run. Returns 0;
// or EXIT_BAD_WORLD_FILE, or EXIT_WORLD_TOO_LARGE when its memory cannot
// be had, with one line in *why that names the file and the reason
// ("'x.world': not a world file"). After a refusal `w` is to be thrown
// away.
int load_world(const std::string &path, world_base &w, const rules &r, run_state *run, std::string *why);

// As load_world, from the bytes of a file; `name` names it in *why.
int load_world_bytes(const std::string &bytes, const std::string &name, world_base &w, const rules &r,
                     run_state *run, std::string *why);

// The header alone, checked as load_world checks it (not the body):
// 0, or EXIT_BAD_WORLD_FILE with one line in *why.
int read_world_header(const std::string &path, world_header *header, std::string *why);

// The fields of a world as the file holds them, little-endian, into a
// buffer that `flush` takes whenever it is full and at the end.
class field_writer {
public:
    explicit field_writer(void (*flush)(void *to, const char *bytes, size_t n), void *to) : flush_(flush), to_(to) {}
    void u8(unsigned v) { put(static_cast<uint64_t>(v & 0xff), 1); }
    void i32(int v) { put(static_cast<uint32_t>(v), 4); }
    void u32(uint32_t v) { put(v, 4); }
    void i64(long long v) { put(static_cast<uint64_t>(v), 8); }
    void u64(uint64_t v) { put(v, 8); }
    void bytes(const char *p, size_t n);
    void finish();  // what the buffer still holds, to `flush`
    uint64_t written() const { return written_; }
    // Marks the world as one its reader would refuse (the first reason is
    // kept), so that the save fails instead of replacing a good file.
    void refuse(const char *why)
    {
        if (refused_ == nullptr)
            refused_ = why;
    }
    const char *refused() const { return refused_; }

private:
    void put(uint64_t v, int n)
    {
        if (used_ + 8 > sizeof buffer_)
            finish();
        for (int i = 0; i < n; i++)
            buffer_[used_++] = static_cast<char>(v >> (8 * i));
        written_ += static_cast<uint64_t>(n);
    }
    void (*flush_)(void *, const char *, size_t);
    void *to_;
    char buffer_[1 << 16];
    size_t used_ = 0;
    uint64_t written_ = 0;
    const char *refused_ = nullptr;
};

// The fields back, from `fill`, which gives up to n more bytes of the
// world and how many it gave. The first fault is kept (with its reason):
// from then on every field reads as 0, so a reader checks ok() once where
// it matters instead of after every field.
class field_reader {
public:
    explicit field_reader(size_t (*fill)(void *from, char *to, size_t n), void *from) : fill_(fill), from_(from) {}
    unsigned u8() { return static_cast<unsigned>(get(1)); }
    int i32() { return static_cast<int>(static_cast<uint32_t>(get(4))); }
    uint32_t u32() { return static_cast<uint32_t>(get(4)); }
    long long i64() { return static_cast<long long>(get(8)); }
    uint64_t u64() { return get(8); }
    void bytes(char *p, size_t n);
    void skip(uint64_t n);  // n bytes passed over
    // Nothing is read beyond `end` (the end of a section): a field that
    // would cross it is a fault.
    void end_at(uint64_t end) { end_ = end; }
    // An i32 within [low, high]; outside, a fault saying `what`.
    int i32_in(int low, int high, const char *what);
    long long i64_in(long long low, long long high, const char *what);

    bool ok() const { return why_.empty(); }
    const std::string &why() const { return why_; }
    void fail(const std::string &why)
    {
        if (why_.empty())
            why_ = why;
    }
    uint64_t taken() const { return taken_; }

private:
    uint64_t get(int n);
    bool beyond_end(uint64_t n);
    bool refill();
    size_t (*fill_)(void *, char *, size_t);
    void *from_;
    char buffer_[1 << 16];
    size_t used_ = 0, held_ = 0;
    uint64_t taken_ = 0;
    uint64_t end_ = UINT64_MAX;
    std::string why_;
};

// A bound on the counters that grow through a run (food, age, generation,
// attractions): no run comes near it, and arithmetic on values within it
// cannot overflow.
constexpr int COUNTER_LIMIT = 1000000000;

// What a reader says of a bug's value out of range.
constexpr const char *BAD_BUG_FIELD = "a bug's field out of range";

// The fields every bug of either program begins with, in this order: x,
// y, facing, food, age, generation, size (i32), race (u8), genes (bytes).
template <class Bug>
void write_bug_basics(field_writer &out, const Bug &b)
{
    for (int v : {b.x, b.y, b.facing, b.food, b.age, b.gen, b.size})
        out.i32(v);
    for (int counter : {b.food, b.age, b.gen})
        if (counter < -COUNTER_LIMIT || counter > COUNTER_LIMIT)
            out.refuse(BAD_BUG_FIELD);
    out.u8(static_cast<unsigned char>(b.race));
    out.bytes(reinterpret_cast<const char *>(b.dna), sizeof b.dna);
}

// Those fields back, for a bug on a map of rows x cols; false when one is
// out of range (the fault is left in `in`).
template <class Bug>
bool read_bug_basics(field_reader &in, int rows, int cols, Bug &b)
{
    const char *bad = BAD_BUG_FIELD;
    b.x = in.i32_in(0, cols - 1, bad);
    b.y = in.i32_in(0, rows - 1, bad);
    b.facing = in.i32_in(0, 3, bad);
    b.food = in.i32_in(-COUNTER_LIMIT, COUNTER_LIMIT, bad);
    b.age = in.i32_in(-COUNTER_LIMIT, COUNTER_LIMIT, bad);
    b.gen = in.i32_in(-COUNTER_LIMIT, COUNTER_LIMIT, bad);
    b.size = in.i32_in(2, 100, bad);
    b.race = static_cast<char>(in.u8());
    in.bytes(reinterpret_cast<char *>(b.dna), sizeof b.dna);
    bool good = race_ok(b.race);
    for (int gene : b.dna)
        good = good && gene_ok(gene);
    if (!good)
        in.fail(bad);
    return in.ok();
}

// The ring of bugs and its references, for either program: the count,
// every bug in ring order from the cursor (the fields all bugs have, then
// its program's own by `write_own`), then the pass marker, the selection
// and each tracker's holder as ring positions, and the tracker that chose
// the selection.
template <class World>
void write_ring(field_writer &out, const World &w, void (*write_own)(field_writer &, const typename World::bug_type &))
{
    using Bug = typename World::bug_type;
    std::unordered_map<const Bug *, long long> position;
    for_each_bug(w.refs.cursor, [&](const Bug *b) { position.emplace(b, static_cast<long long>(position.size())); });
    out.i64(static_cast<long long>(position.size()));
    for_each_bug(w.refs.cursor, [&](const Bug *b) {
        write_bug_basics(out, *b);
        write_own(out, *b);
    });
    auto refs = w.refs;  // a copy: each() hands out mutable pointers
    bool cursor = true;  // the first, at position 0 by the order above
    refs.each([&](Bug *&p) {
        if (!cursor)
            out.i64(position.at(p));
        cursor = false;
    });
    out.i32(w.refs.chosen_by);
}

// The ring back. `read_own` reads a bug's fields of its program, leaving
// a value out of range as a fault in `in`. Every cell of the map that
// shows a race must hold a bug, since the rules look bugs up by what they
// see. Returns 0, or EXIT_WORLD_TOO_LARGE; faults are left in `in`.
template <class World>
int read_ring(field_reader &in, World &w, void (*read_own)(field_reader &, typename World::bug_type &))
{
    using Bug = typename World::bug_type;
    int cols = w.map.cols();
    long long area = static_cast<long long>(w.map.rows()) * cols;
    long long count = in.i64_in(1, POPULATION_LIMIT, "a bug count out of range");
    std::vector<bool> stood_on(static_cast<size_t>(in.ok() ? area : 0));
    std::vector<Bug *> ring;
    for (long long i = 0; in.ok() && i < count; i++) {
        Bug *b = static_cast<Bug *>(std::malloc(sizeof(Bug)));
        if (b == nullptr)
            return EXIT_WORLD_TOO_LARGE;
        std::memset(static_cast<void *>(b), 0, sizeof(Bug));
        append_bug(w.refs.cursor, b);
        ring.push_back(b);
        if (read_bug_basics(in, w.map.rows(), cols, *b))
            stood_on[static_cast<size_t>(b->y) * static_cast<size_t>(cols) + static_cast<size_t>(b->x)] = true;
        read_own(in, *b);
    }
    for (long long cell = 0; in.ok() && cell < area; cell++)
        if (race_ok(w.map.row(0)[cell]) && !stood_on[static_cast<size_t>(cell)])
            in.fail("a bug on the map that is not in the ring");
    std::vector<bool>().swap(stood_on);  // before the index takes its memory
    if (!in.ok())
        return 0;
    bool cursor = true;
    w.refs.each([&](Bug *&p) {
        if (cursor) {
            cursor = false;
            return;
        }
        long long at = in.i64_in(0, count - 1, "a reference to no bug");
        p = in.ok() ? ring[static_cast<size_t>(at)] : w.refs.cursor;
    });
    w.refs.chosen_by = in.i32_in(0, static_cast<int>(World::references::TRACKERS), "no such tracker");
    std::vector<Bug *>().swap(ring);
    if (in.ok() && !w.index.build(w.map.cols(), w.refs.cursor))
        return EXIT_WORLD_TOO_LARGE;
    return 0;
}

}  // namespace common

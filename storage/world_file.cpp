#include "storage/world_file.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>

#include "common/signals.h"
#include "common/text.h"
#include "common/usage.h"

namespace common {

// ---- Fields -------------------------------------------------------------

void field_writer::bytes(const char *p, size_t n)
{
    while (n > 0) {
        if (used_ == sizeof buffer_)
            finish();
        size_t part = std::min(n, sizeof buffer_ - used_);
        std::memcpy(buffer_ + used_, p, part);
        used_ += part;
        p += part;
        n -= part;
        written_ += part;
    }
}

void field_writer::finish()
{
    if (used_ > 0)
        flush_(to_, buffer_, used_);
    used_ = 0;
}

bool field_reader::refill()
{
    std::memmove(buffer_, buffer_ + used_, held_ - used_);
    held_ -= used_;
    used_ = 0;
    size_t got = fill_(from_, buffer_ + held_, sizeof buffer_ - held_);
    held_ += got;
    return got > 0;
}

// A field of n bytes would cross the end set: the fault, and true.
bool field_reader::beyond_end(uint64_t n)
{
    if (n > end_ - std::min(end_, taken_))
        fail("a section ends early");
    return !ok();
}

uint64_t field_reader::get(int n)
{
    if (!ok() || beyond_end(static_cast<uint64_t>(n)))
        return 0;
    // A refill may bring fewer bytes than a field needs (the decompressor
    // gives what it has at the end of its input's chunk): refill until the
    // field is whole or nothing more comes.
    while (held_ - used_ < static_cast<size_t>(n))
        if (!refill()) {
            fail("the world ends early");
            return 0;
        }
    uint64_t v = 0;
    for (int i = 0; i < n; i++)
        v |= static_cast<uint64_t>(static_cast<unsigned char>(buffer_[used_ + i])) << (8 * i);
    used_ += static_cast<size_t>(n);
    taken_ += static_cast<uint64_t>(n);
    return v;
}

void field_reader::bytes(char *p, size_t n)
{
    beyond_end(n);
    while (n > 0 && ok()) {
        if (used_ == held_ && !refill()) {
            fail("the world ends early");
            break;
        }
        size_t part = std::min(n, held_ - used_);
        std::memcpy(p, buffer_ + used_, part);
        used_ += part;
        taken_ += part;
        p += part;
        n -= part;
    }
}

void field_reader::skip(uint64_t n)
{
    char scrap[4096];
    beyond_end(n);
    while (n > 0 && ok()) {
        size_t part = static_cast<size_t>(std::min<uint64_t>(n, sizeof scrap));
        bytes(scrap, part);
        n -= part;
    }
}

int field_reader::i32_in(int low, int high, const char *what)
{
    int v = i32();
    if (v < low || v > high)
        fail(what);
    return ok() ? v : low;
}

long long field_reader::i64_in(long long low, long long high, const char *what)
{
    long long v = i64();
    if (v < low || v > high)
        fail(what);
    return ok() ? v : low;
}

namespace {

// ---- The header -----------------------------------------------------------
//
//   0  magic, 8 bytes          36  passes, i64
//   8  format version, u32     44  population, i64
//  12  program, 16 bytes, NUL  52  compressed world's bytes, u64
//      padded                  60  world's bytes, u64
//  28  rows, i32               68  CRC-32 of bytes 0 to 67, u32
//  32  cols, i32               72  (end)
//
// The version comes right after the magic, so that a later format can be
// recognised whatever else it changes.

constexpr char MAGIC[8] = {'\x89', 'W', 'O', 'R', 'L', 'D', '\r', '\n'};
constexpr size_t HEADER_BYTES = 72;
constexpr size_t PROGRAM_BYTES = 16;

uint32_t crc32(const unsigned char *p, size_t n)
{
    uint32_t crc = 0xffffffffu;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put_le(unsigned char *at, uint64_t v, int n)
{
    for (int i = 0; i < n; i++)
        at[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint64_t get_le(const unsigned char *at, int n)
{
    uint64_t v = 0;
    for (int i = 0; i < n; i++)
        v |= static_cast<uint64_t>(at[i]) << (8 * i);
    return v;
}

void encode_header(const world_header &h, unsigned char *out)
{
    std::memset(out, 0, HEADER_BYTES);
    std::memcpy(out, MAGIC, sizeof MAGIC);
    put_le(out + 8, h.version, 4);
    std::memcpy(out + 12, h.program.data(), std::min(h.program.size(), PROGRAM_BYTES - 1));
    put_le(out + 28, static_cast<uint32_t>(h.rows), 4);
    put_le(out + 32, static_cast<uint32_t>(h.cols), 4);
    put_le(out + 36, static_cast<uint64_t>(h.passes), 8);
    put_le(out + 44, static_cast<uint64_t>(h.population), 8);
    put_le(out + 52, h.body_bytes, 8);
    put_le(out + 60, h.world_bytes, 8);
    put_le(out + 68, crc32(out, 68), 4);
}

// The most passes a world file may have run: at a billion passes a second,
// a run would take 146 years to reach it, and as long again from there to
// the largest count a long holds.
constexpr long PASSES_LIMIT = 1L << 62;

// The header of a file of `file_bytes` bytes that begins with `in`; an
// empty string, or the reason it is refused.
std::string decode_header(const unsigned char *in, uint64_t file_bytes, world_header *h)
{
    if (file_bytes < sizeof MAGIC || std::memcmp(in, MAGIC, sizeof MAGIC) != 0)
        return "not a world file";
    if (file_bytes < 12)
        return "truncated";
    h->version = static_cast<uint32_t>(get_le(in + 8, 4));
    if (h->version > WORLD_FORMAT_VERSION)
        return text_of("a world file of a newer format (version %u; this program reads version %u)", h->version,
                       WORLD_FORMAT_VERSION);
    if (file_bytes < HEADER_BYTES)
        return "truncated";
    if (get_le(in + 68, 4) != crc32(in, 68))
        return "damaged: its header does not match its checksum";
    if (h->version < 1)
        return text_of("damaged: format version %u", h->version);
    const char *name = reinterpret_cast<const char *>(in + 12);
    h->program.assign(name, strnlen(name, PROGRAM_BYTES));
    h->rows = static_cast<int>(static_cast<uint32_t>(get_le(in + 28, 4)));
    h->cols = static_cast<int>(static_cast<uint32_t>(get_le(in + 32, 4)));
    h->passes = static_cast<long>(get_le(in + 36, 8));
    h->population = static_cast<long long>(get_le(in + 44, 8));
    h->body_bytes = get_le(in + 52, 8);
    h->world_bytes = get_le(in + 60, 8);
    if (h->program != "terrarium" && h->program != "vivarium")
        return "damaged: no such program";
    if (h->rows < 1 || h->rows > MAP_SIDE_LIMIT || h->cols < 1 || h->cols > MAP_SIDE_LIMIT || h->passes < 0 ||
        h->population < 1 || h->population > POPULATION_LIMIT)
        return "damaged: a size in its header out of range";
    if (h->body_bytes > file_bytes - HEADER_BYTES)
        return "truncated";
    if (h->body_bytes < file_bytes - HEADER_BYTES)
        return "damaged: bytes after the world";
    if (h->passes > PASSES_LIMIT)
        return "damaged: a size in its header out of range";
    // No compressed block stands for more than 2^15 times its own size: a
    // header cannot promise more than its body could hold.
    if (h->world_bytes / 65536 > h->body_bytes || h->world_bytes < static_cast<uint64_t>(h->rows) * h->cols)
        return "damaged: its sizes do not agree";
    return "";
}

// ---- The common part of the world ---------------------------------------

constexpr int LONGEST_DELAY = 1 << 30;

// What every world holds, up to its map: its size, pass, phase, the
// screen it was sized for, its generator, and the map.
void write_map_part(field_writer &out, const world_base &w)
{
    out.i32(w.map.rows());
    out.i32(w.map.cols());
    out.i64(w.passes);
    out.i32(w.phase);
    out.i32(w.screen_lines);
    out.i32(w.screen_cols);
    random_stream::position at = w.random.where();
    for (uint32_t word : at.words)
        out.u32(word);
    out.i32(at.front);
    out.i32(at.rear);
    for (int row = 0; row < w.map.rows(); row++)
        out.bytes(w.map.row(row), static_cast<size_t>(w.map.cols()));
}

// That part back into `w`, whose map opens here. 0, EXIT_WORLD_TOO_LARGE,
// or a fault in `in`.
int read_map_part(field_reader &in, const world_header &h, world_base &w)
{
    int rows = in.i32(), cols = in.i32();
    long long passes = in.i64();
    if (in.ok() && (rows != h.rows || cols != h.cols || passes != h.passes))
        in.fail("the world's size or pass differs from the header's");
    w.passes = static_cast<long>(passes);
    w.phase = in.i32_in(0, 24, "a phase out of range");
    if (in.ok() && w.phase != w.passes % 25)
        in.fail("a phase that is not the pass's");
    w.screen_lines = in.i32_in(1, 1 << 20, "a screen size out of range");
    w.screen_cols = in.i32_in(1, 1 << 20, "a screen size out of range");
    random_stream::position at{};
    for (uint32_t &word : at.words)
        word = in.u32();
    at.front = in.i32();
    at.rear = in.i32();
    if (in.ok() && !w.random.go_to(at))
        in.fail("a random generator that no seed gives");
    if (!in.ok())
        return 0;
    w.map.plan(rows, cols);
    if (!w.map.open())
        return EXIT_WORLD_TOO_LARGE;
    std::vector<char> line(static_cast<size_t>(cols));
    for (int row = 0; row < rows && in.ok(); row++) {
        in.bytes(line.data(), line.size());
        if (in.ok() && !w.map.write_row(row, line.data()))
            in.fail("a map cell that is not a glyph");
    }
    return 0;
}

// The session's view of the world: the cells last drawn for the selected
// bug.
void write_selection(field_writer &out, const run_state &run)
{
    out.i64(static_cast<long long>(run.selected.size()));
    for (size_t cell : run.selected)
        out.i64(static_cast<long long>(cell));
}

// Those cells back, on the open map of `w`; faults are left in `in`.
void read_selection(field_reader &in, const world_base &w, run_state *run)
{
    int cols = w.map.cols();
    long long area = static_cast<long long>(w.map.rows()) * cols;
    long long lit = in.i64_in(0, SELECTED_CELLS, "too many cells drawn for the selected bug");
    run->selected.clear();
    for (long long i = 0; i < lit && in.ok(); i++) {
        long long cell = in.i64_in(0, area - 1, "a cell off the map");
        if (run->selected.has(static_cast<size_t>(cell)))
            in.fail("a cell drawn twice for the selected bug");
        run->selected.note(static_cast<size_t>(cell), true);
    }
}

// The session's pace: its speed, and whether it was paused.
void write_pace(field_writer &out, const run_state &run)
{
    out.i32(run.speed);
    out.u8(run.paused);
}

void read_pace(field_reader &in, run_state *run)
{
    run->speed = in.i32_in(0, LONGEST_DELAY, "a speed out of range");
    int paused = in.u8();
    if (paused > 1)
        in.fail("a run state out of range");
    run->paused = paused == 1;
}

void read_turn_pending(field_reader &in, run_state *run)
{
    int turn_pending = in.u8();
    if (turn_pending > 1)
        in.fail("a run state out of range");
    run->turn_pending = turn_pending == 1;
}

// A world of format version 1, which has no sections: its common part
// (the map part, the selection, the pace and the turn pending), then its
// program's part.
int read_version_1(field_reader &in, const world_header &h, world_base &w, const rules &r, run_state *run)
{
    int status = read_map_part(in, h, w);
    if (status != 0 || !in.ok())
        return status;
    read_selection(in, w, run);
    read_pace(in, run);
    read_turn_pending(in, run);
    return in.ok() ? r.read(in, w) : 0;
}

// ---- Sections (format version 2) -----------------------------------------
//
// Each section: a tag of four ASCII letters or digits, flags (u32), the
// bytes that follow (u64), then its fields. A reader skips a section it
// does not know, unless its flags say that it must be understood.

constexpr uint32_t MUST_UNDERSTAND = 1;
constexpr size_t TAG_BYTES = 4;
constexpr char WORLD_TAG[] = "WRLD";    // the world and its run: the map part, the turn pending, the program's part
constexpr char SESSION_TAG[] = "SESS";  // the session's: the selection and the pace
constexpr char PROGRAM_TAG[] = "PROG";  // the version of the program that wrote the file, its bytes alone
constexpr uint64_t LONGEST_VERSION = 64;
constexpr char IDS_TAG[] = "IDS0";      // the bugs' ids: the next one, then each bug's in ring order

// A section whose fields `fields(out)` writes: written twice, the first
// time only counted, so that the length before them is known without
// holding a world's bytes in memory.
template <class Fields>
void write_section(field_writer &out, const char *tag, uint32_t flags, Fields fields)
{
    auto counted = std::make_unique<field_writer>([](void *, const char *, size_t) {}, nullptr);
    fields(*counted);
    counted->finish();
    out.bytes(tag, TAG_BYTES);
    out.u32(flags);
    out.u64(counted->written());
    fields(out);
}

void write_sections(field_writer &out, const world_base &w, const rules &r, const run_state &run)
{
    write_section(out, WORLD_TAG, MUST_UNDERSTAND, [&](field_writer &to) {
        write_map_part(to, w);
        to.u8(run.turn_pending);
        r.write(to, w);
    });
    // A reader that did not know the session would resume the world as a
    // new session does.
    write_section(out, SESSION_TAG, 0, [&](field_writer &to) {
        write_selection(to, run);
        write_pace(to, run);
    });
    // A reader that did not know the ids would number the bugs as founders.
    const std::vector<int64_t> ids = w.bug_ids();
    write_section(out, IDS_TAG, 0, [&](field_writer &to) {
        to.i64(w.next_id);
        for (int64_t id : ids)
            to.i64(id);
    });
    write_section(out, PROGRAM_TAG, 0, [](field_writer &to) {
        to.bytes(program_version(), std::strlen(program_version()));
    });
}

// The version in a "PROG" section that ends at `end`.
void read_program_version(field_reader &in, uint64_t end, run_state *run)
{
    uint64_t length = end - in.taken();
    if (length > LONGEST_VERSION) {
        in.fail("a program version too long");
        return;
    }
    char version[LONGEST_VERSION];
    in.bytes(version, length);
    run->written_by.assign(version, length);
}

struct section_head {
    std::string tag;
    bool must_understand = false;
    uint64_t end = 0;  // where its fields end, in the world's bytes
};

// A section's head, its fields lying within the world's `world_bytes`.
section_head read_section_head(field_reader &in, uint64_t world_bytes)
{
    section_head s;
    char tag[TAG_BYTES] = {};
    in.bytes(tag, TAG_BYTES);
    s.tag.assign(tag, TAG_BYTES);
    s.must_understand = (in.u32() & MUST_UNDERSTAND) != 0;
    uint64_t length = in.u64();
    auto letter_or_digit = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    if (in.ok() && !std::all_of(tag, tag + TAG_BYTES, letter_or_digit))
        in.fail("a section's tag that is not letters or digits");
    if (in.ok() && length > world_bytes - in.taken())
        in.fail("a section longer than the world");
    s.end = in.taken() + length;
    return s;
}

// The fields of the known section `s` into `w` and *run: 0,
// EXIT_WORLD_TOO_LARGE, or a fault in `in`. `seen` says which of the world
// and the session were read before.
int read_known_section(field_reader &in, const section_head &s, const world_header &h, world_base &w,
                       const rules &r, run_state *run, bool seen[2])
{
    bool world = s.tag == WORLD_TAG;
    if (seen[world ? 0 : 1])
        in.fail("a section twice");
    else if (!world && !seen[0])
        in.fail("a session before its world");
    seen[world ? 0 : 1] = true;
    if (!in.ok())
        return 0;
    if (!world) {
        read_selection(in, w, run);
        read_pace(in, run);
        return 0;
    }
    int status = read_map_part(in, h, w);
    if (status == 0 && in.ok())
        read_turn_pending(in, run);
    return status == 0 && in.ok() ? r.read(in, w) : status;
}

// The ids of the world's bugs, read after its world: one for each bug,
// each below the next id and none twice.
void read_ids(field_reader &in, const section_head &s, world_base &w, long population)
{
    int64_t next = in.i64();
    if (in.ok() && s.end - in.taken() != 8 * static_cast<uint64_t>(population))
        in.fail("ids that are not one for each bug");
    std::vector<int64_t> ids;
    for (long i = 0; i < population && in.ok(); i++)
        ids.push_back(in.i64());
    std::vector<int64_t> sorted = ids;
    std::sort(sorted.begin(), sorted.end());
    // Far more births than any run could give would overflow the next id.
    if (in.ok() && (next > (int64_t{1} << 62) || std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end() ||
                    (!sorted.empty() && (sorted.front() < 1 || sorted.back() >= next))))
        in.fail("a bug's id out of range or twice");
    if (in.ok()) {
        w.next_id = next;
        w.give_ids(ids);
    }
}

// A world of format version 2: its sections in turn, the world's required.
// 0, EXIT_WORLD_TOO_LARGE, a fault in `in`, or a section this program
// does not know and must understand, named in *refusal.
int read_sections(field_reader &in, const world_header &h, world_base &w, const rules &r, run_state *run,
                  std::string *refusal, bool *ids_read)
{
    bool seen[2] = {false, false};  // the world, the session
    int status = 0;
    *run = run_state();  // as a new session runs a world, should no session's section come
    in.end_at(h.world_bytes);
    while (status == 0 && in.ok() && refusal->empty() && in.taken() < h.world_bytes) {
        section_head s = read_section_head(in, h.world_bytes);
        if (!in.ok())
            break;
        in.end_at(s.end);
        if (s.tag == WORLD_TAG || s.tag == SESSION_TAG) {
            status = read_known_section(in, s, h, w, r, run, seen);
        } else if (s.tag == PROGRAM_TAG) {
            read_program_version(in, s.end, run);
        } else if (s.tag == IDS_TAG) {
            if (*ids_read || !seen[0])
                in.fail(*ids_read ? "a section twice" : "ids before their world");
            else
                read_ids(in, s, w, r.population(w));
            *ids_read = true;
        } else if (s.must_understand) {
            *refusal = "a world file with a required section this program does not know ('" + s.tag + "')";
        } else {
            in.skip(s.end - in.taken());
        }
        if (status == 0 && in.ok() && refusal->empty() && in.taken() != s.end)
            in.fail("a section's length differs from its fields");
        in.end_at(h.world_bytes);
    }
    if (status == 0 && in.ok() && refusal->empty() && !seen[0])
        in.fail("no world in it");
    return status;
}

// ---- Compression ----------------------------------------------------------

// The compressor's state while a world is written to a file descriptor.
struct compressing {
    ZSTD_CCtx *context = nullptr;
    int fd = -1;
    uint64_t body_bytes = 0;
    std::string error;          // the first failure
    int write_errno = 0;        // its errno, when a write failed
    std::vector<char> out = std::vector<char>(ZSTD_CStreamOutSize());

    bool emit(size_t n)
    {
        for (size_t done = 0; done < n && error.empty();) {
            ssize_t wrote = write(fd, out.data() + done, n - done);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0) {
                write_errno = wrote < 0 ? errno : ENOSPC;
                error = std::strerror(write_errno);
            } else
                done += static_cast<size_t>(wrote);
        }
        body_bytes += n;
        return error.empty();
    }

    void feed(const char *bytes, size_t n, ZSTD_EndDirective mode)
    {
        ZSTD_inBuffer in{bytes, n, 0};
        bool finished = false;
        while (error.empty() && (in.pos < in.size || (mode == ZSTD_e_end && !finished))) {
            ZSTD_outBuffer o{out.data(), out.size(), 0};
            size_t left = ZSTD_compressStream2(context, &o, &in, mode);
            if (ZSTD_isError(left)) {
                error = ZSTD_getErrorName(left);
                return;
            }
            finished = left == 0;
            emit(o.pos);
        }
    }
};

void compress_flush(void *to, const char *bytes, size_t n)
{
    static_cast<compressing *>(to)->feed(bytes, n, ZSTD_e_continue);
}

// The world after the header, compressed onto fd; the sizes into *h, the
// errno of a write that failed into *write_errno.
std::string write_body(int fd, const world_base &w, const rules &r, const run_state &run, world_header *h,
                       int *write_errno)
{
    compressing z;
    z.context = ZSTD_createCCtx();
    z.fd = fd;
    if (z.context == nullptr)
        return std::strerror(ENOMEM);
    ZSTD_CCtx_setParameter(z.context, ZSTD_c_compressionLevel, 3);
    ZSTD_CCtx_setParameter(z.context, ZSTD_c_checksumFlag, 1);
    std::unique_ptr<field_writer> out = std::make_unique<field_writer>(compress_flush, &z);
    write_sections(*out, w, r, run);
    out->finish();
    z.feed(nullptr, 0, ZSTD_e_end);
    ZSTD_freeCCtx(z.context);
    h->body_bytes = z.body_bytes;
    h->world_bytes = out->written();
    *write_errno = z.write_errno;
    if (z.error.empty() && out->refused() != nullptr)
        return std::string("it would not read back (damaged: ") + out->refused() + ")";
    return z.error;
}

// The decompressor's state while a world is read from memory.
struct decompressing {
    ZSTD_DCtx *context = nullptr;
    ZSTD_inBuffer in{};
    int fd = -1;                   // more of the body comes from here, if any
    uint64_t unread = 0;           // the body's bytes still in the file
    std::vector<char> chunk;
    uint64_t limit = 0;            // the world's bytes, as the header says
    uint64_t given = 0;
    bool ended = false;         // the frame is whole (and its checksum right)
    std::string error;
};

// The next part of the body from the file: the file is read as it is
// decompressed, never held whole.
bool read_more(decompressing &z)
{
    z.chunk.resize(ZSTD_DStreamInSize());
    size_t want = static_cast<size_t>(std::min<uint64_t>(z.chunk.size(), z.unread));
    ssize_t got;
    while ((got = read(z.fd, z.chunk.data(), want)) < 0 && errno == EINTR) {
    }
    if (got <= 0) {
        z.error = got < 0 ? std::string("cannot be read: ") + std::strerror(errno) : "truncated";
        return false;
    }
    z.unread -= static_cast<uint64_t>(got);
    z.in = {z.chunk.data(), static_cast<size_t>(got), 0};
    return true;
}

size_t decompress_fill(void *from, char *to, size_t n)
{
    decompressing &z = *static_cast<decompressing *>(from);
    ZSTD_outBuffer out{to, static_cast<size_t>(std::min<uint64_t>(n, z.limit - z.given + 1)), 0};
    while (out.pos == 0 && !z.ended && z.error.empty() && out.size > 0) {
        if (z.in.pos == z.in.size && z.unread > 0 && !read_more(z))
            break;
        size_t left = ZSTD_decompressStream(z.context, &out, &z.in);
        if (ZSTD_isError(left))
            z.error = ZSTD_getErrorName(left);
        else if (left == 0)
            z.ended = true;
        else if (z.in.pos == z.in.size && z.unread == 0 && out.pos == 0)
            z.error = "truncated";
    }
    z.given += out.pos;
    return z.error.empty() ? out.pos : 0;
}

// The frame must hold its checksum: byte 4 of a zstd frame is its
// descriptor, whose bit 2 says so.
bool frame_has_checksum(const unsigned char *body, uint64_t n)
{
    return n >= 5 && get_le(body, 4) == 0xFD2FB528u && (body[4] & 0x04) != 0;
}

std::string quoted(const std::string &name) { return "'" + name + "': "; }

// ---- Files ----------------------------------------------------------------

std::string directory_of(const std::string &path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool write_all_at(int fd, const unsigned char *p, size_t n, off_t at)
{
    while (n > 0) {
        ssize_t wrote = pwrite(fd, p, n, at);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote == 0)
            errno = ENOSPC;
        if (wrote <= 0)
            return false;
        p += wrote;
        n -= static_cast<size_t>(wrote);
        at += wrote;
    }
    return true;
}

// Six letters or digits that no other process can foresee: from the
// system's entropy (or, without it, the clock), never from the world's
// generator, whose draws are the run's own.
std::string unforeseeable_letters()
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[6];
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        for (size_t i = 0; i < sizeof bytes; i++)
            bytes[i] = static_cast<unsigned char>((now.tv_nsec >> (5 * i)) ^ getpid());
    }
    std::string letters;
    for (unsigned char b : bytes)
        letters += alphabet[b % (sizeof alphabet - 1)];
    return letters;
}

// A new file beside `path`, ".NAME.tmp-XXXXXX", created exclusively: a
// link, a FIFO or anything else planted at a name is never opened, and
// another name is tried. Its descriptor, or -1 with errno.
int create_temporary(const std::string &path, mode_t mode, std::string *temporary)
{
    size_t slash = path.rfind('/');  // npos + 1: no directory
    std::string stem = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".tmp-";
    for (int tries = 0; tries < 100; tries++) {
        *temporary = stem + unforeseeable_letters();
        int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Why a save cannot go to `path` as it stands, or nothing; what is there
// into *old, and whether anything is.
std::string target_refused(const std::string &path, bool replace, struct stat *old, bool *exists)
{
    *exists = lstat(path.c_str(), old) == 0;
    if (!*exists)
        return errno == ENOENT ? "" : std::strerror(errno);
    // Following a link would write wherever its maker chose; replacing it
    // would silently undo the user's link: neither; the user names the file.
    if (S_ISLNK(old->st_mode))
        return "a symbolic link, not a regular file";
    if (!S_ISREG(old->st_mode))
        return "not a regular file";
    return replace ? "" : std::strerror(EEXIST);
}

// The temporary file under the save's name: over the old file; or, for a
// new file, only if no file has come there meanwhile.
bool put_in_place(const save_file &file)
{
    const char *from = file.temporary.c_str(), *to = file.path.c_str();
    if (file.replace)
        return rename(from, to) == 0;
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return true;
    // A file system that cannot rename without replacing: the new name as
    // a second link, which is never made over a file, then the first gone.
    if ((errno != EINVAL && errno != ENOSYS) || link(from, to) != 0)
        return false;
    ::unlink(from);
    return true;
}

// Past the file size limit a write fails with EFBIG and raises SIGXFSZ,
// whose default action ends the process: held while a save writes, and
// taken back should a write have raised it, so that it fails the save only.
class file_size_signal_held {
public:
    file_size_signal_held()
    {
        sigset_t just_this;
        sigemptyset(&just_this);
        sigaddset(&just_this, SIGXFSZ);
        sigprocmask(SIG_BLOCK, &just_this, &before_);
    }
    ~file_size_signal_held() { sigprocmask(SIG_SETMASK, &before_, nullptr); }

private:
    sigset_t before_;
};

// The world into the open temporary file, flushed to disk; "" or why not.
std::string write_world(int fd, const world_base &w, const rules &r, const run_state &run, int *write_errno)
{
    world_header h;
    h.program = r.name;
    h.version = WORLD_FORMAT_VERSION;
    h.rows = w.map.rows();
    h.cols = w.map.cols();
    h.passes = w.passes;
    h.population = r.population(w);
    unsigned char header[HEADER_BYTES] = {};
    if (!write_all_at(fd, header, HEADER_BYTES, 0) || lseek(fd, HEADER_BYTES, SEEK_SET) < 0)
        return std::strerror(*write_errno = errno);
    std::string error = write_body(fd, w, r, run, &h, write_errno);
    encode_header(h, header);
    // A last guard: a file its reader would refuse must not replace a good one.
    world_header back;
    std::string refusal = error.empty() ? decode_header(header, HEADER_BYTES + h.body_bytes, &back) : "";
    if (!refusal.empty())
        error = "it would not read back (" + refusal + ")";
    if (error.empty() && !write_all_at(fd, header, HEADER_BYTES, 0))
        return std::strerror(*write_errno = errno);
    if (error.empty() && fsync(fd) != 0)
        return std::strerror(errno);
    return error;
}

}  // namespace

bool save_world(const std::string &path, const world_base &w, const rules &r, const run_state &run,
                std::string *why)
{
    save_file file;
    return begin_save(path, true, w, r, &file, why) && finish_save(&file, w, r, run, why);
}

bool begin_save(const std::string &path, bool replace, const world_base &w, const rules &r, save_file *file,
                std::string *why)
{
    *file = save_file();
    file->path = path;
    file->replace = replace;
    if (r.population(w) < 1) {
        *why = text_of("cannot save '%s': no bug is left", path.c_str());
        return false;
    }
    struct stat old {};
    bool exists = false;
    std::string refused = target_refused(path, replace, &old, &exists);
    if (refused.empty()) {
        // An old file's mode is given only once the file is its owner's
        // alone; a new one's follows the umask.
        file->fd = create_temporary(path, exists ? 0600 : 0666, &file->temporary);
        if (file->fd < 0)
            refused = std::strerror(errno);
    }
    if (!refused.empty()) {
        *why = text_of("cannot save '%s': %s", path.c_str(), refused.c_str());
        return false;
    }
    if (exists) {
        // The group where the owner may give it (else the owner's stays),
        // then the mode, which a change of group may clear.
        int ignored = fchown(file->fd, static_cast<uid_t>(-1), old.st_gid);
        ignored = fchmod(file->fd, old.st_mode & 07777);  // failing, the file stays its owner's alone
        (void)ignored;
    }
    return true;
}

bool finish_save(save_file *file, const world_base &w, const rules &r, const run_state &run, std::string *why)
{
    file_size_signal_held held;
    int write_errno = 0;
    std::string error = write_world(file->fd, w, r, run, &write_errno);
    take_back_signal_of(write_errno);
    if (close(file->fd) != 0 && error.empty())
        error = std::strerror(errno);
    file->fd = -1;
    if (error.empty() && !put_in_place(*file))
        error = std::strerror(errno);
    if (!error.empty()) {
        abandon_save(file);
        *why = text_of("cannot save '%s': %s", file->path.c_str(), error.c_str());
        return false;
    }
    // The new name is on disk once the directory is.
    int dir = open(directory_of(file->path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

void abandon_save(save_file *file)
{
    if (file->fd >= 0)
        close(file->fd);
    file->fd = -1;
    if (!file->temporary.empty())
        ::unlink(file->temporary.c_str());
}

namespace {

// What every world file begins with: the header and the first bytes of
// its body, which say whether the frame holds its checksum.
constexpr size_t START_BYTES = HEADER_BYTES + 5;

// The header of a file of `file_bytes` bytes from its start (as many of
// START_BYTES as it has), checked for `r`'s program; an empty string or
// the reason it is refused.
std::string check_start(const unsigned char *start, uint64_t file_bytes, const rules &r, world_header *h)
{
    std::string refusal = decode_header(start, file_bytes, h);
    if (refusal.empty() && h->program != r.name)
        refusal = text_of("a %s world, not a %s one", h->program.c_str(), r.name);
    if (refusal.empty() && !frame_has_checksum(start + HEADER_BYTES, h->body_bytes))
        refusal = "damaged: its world has no checksum";
    return refusal;
}

// The world of a file whose header is checked, from `z`, into `w`.
int load_body(decompressing &z, const world_header &h, const std::string &name, world_base &w, const rules &r,
              run_state *run, std::string *why)
{
    z.context = ZSTD_createDCtx();
    z.limit = h.world_bytes;
    if (z.context == nullptr) {
        *why = quoted(name) + "world too large";
        return EXIT_WORLD_TOO_LARGE;
    }
    int status = 0;
    std::string refusal;  // a section this program cannot read
    bool ids_read = false;
    std::unique_ptr<field_reader> in = std::make_unique<field_reader>(decompress_fill, &z);
    try {
        status = h.version == 1 ? read_version_1(*in, h, w, r, run)
                                : read_sections(*in, h, w, r, run, &refusal, &ids_read);
        if (status == 0 && in->ok() && !refusal.empty())
            in->fail(refusal);
        if (status == 0 && in->ok() && r.population(w) != h.population)
            in->fail("its bug count differs from its header's");
        char more;
        if (status == 0 && in->ok() &&
            (in->taken() != h.world_bytes || decompress_fill(&z, &more, 1) != 0 || !z.ended))
            in->fail("its world's length differs from its header's");
        // One frame, and nothing after it: not a second frame, nor anything else.
        if (status == 0 && in->ok() && (z.in.pos != z.in.size || z.unread != 0))
            in->fail("bytes after the world");
        // A file without ids: its bugs are the founders of the run that resumes it.
        if (status == 0 && in->ok() && !ids_read)
            w.number_founders();
    } catch (const std::bad_alloc &) {
        status = EXIT_WORLD_TOO_LARGE;
    }
    ZSTD_freeDCtx(z.context);
    if (status != 0) {
        *why = quoted(name) + "world too large";
        return status;
    }
    if (!z.error.empty() || !in->ok()) {
        const std::string &fault = z.error.empty() ? in->why() : z.error;
        *why = quoted(name) + (fault == "truncated" || fault == refusal ? fault : "damaged: " + fault);
        return EXIT_BAD_WORLD_FILE;
    }
    return 0;
}

// The file at `path` opened for reading, its size and its start; an
// empty string or the reason it cannot be read.
std::string open_world_file(const std::string &path, int *fd, uint64_t *file_bytes, unsigned char *start)
{
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    *fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (*fd < 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    struct stat about {};
    if (fstat(*fd, &about) != 0 || !S_ISREG(about.st_mode))
        return "not a regular file";
    *file_bytes = static_cast<uint64_t>(about.st_size);
    size_t want = static_cast<size_t>(std::min<uint64_t>(START_BYTES, *file_bytes)), got = 0;
    while (got < want) {
        ssize_t n = read(*fd, start + got, want - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::string("cannot be read: ") + std::strerror(errno);
        if (n == 0)
            return "truncated";
        got += static_cast<size_t>(n);
    }
    return "";
}

}  // namespace

int load_world_bytes(const std::string &bytes, const std::string &name, world_base &w, const rules &r,
                     run_state *run, std::string *why)
{
    unsigned char start[START_BYTES] = {};
    std::memcpy(start, bytes.data(), std::min(bytes.size(), START_BYTES));
    world_header h;
    std::string refusal = check_start(start, bytes.size(), r, &h);
    if (!refusal.empty()) {
        *why = quoted(name) + refusal;
        return EXIT_BAD_WORLD_FILE;
    }
    decompressing z;
    z.in = {bytes.data() + HEADER_BYTES, h.body_bytes, 0};
    return load_body(z, h, name, w, r, run, why);
}

int load_world(const std::string &path, world_base &w, const rules &r, run_state *run, std::string *why)
{
    unsigned char start[START_BYTES] = {};
    uint64_t file_bytes = 0;
    world_header h;
    decompressing z;
    std::string refusal = open_world_file(path, &z.fd, &file_bytes, start);
    if (refusal.empty())
        refusal = check_start(start, file_bytes, r, &h);
    int status = EXIT_BAD_WORLD_FILE;
    if (refusal.empty() && lseek(z.fd, HEADER_BYTES, SEEK_SET) < 0)
        refusal = std::string("cannot be read: ") + std::strerror(errno);
    if (refusal.empty()) {
        z.unread = h.body_bytes;
        status = load_body(z, h, path, w, r, run, why);
    } else {
        *why = quoted(path) + refusal;
    }
    if (z.fd >= 0)
        close(z.fd);
    return status;
}

int read_world_header(const std::string &path, world_header *header, std::string *why)
{
    unsigned char start[START_BYTES] = {};
    uint64_t file_bytes = 0;
    int fd = -1;
    std::string refusal = open_world_file(path, &fd, &file_bytes, start);
    if (fd >= 0)
        close(fd);
    if (refusal.empty())
        refusal = decode_header(start, file_bytes, header);
    if (refusal.empty())
        return 0;
    *why = quoted(path) + refusal;
    return EXIT_BAD_WORLD_FILE;
}

}  // namespace common

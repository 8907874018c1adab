#include "storage/lineage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>
#include <zstd.h>

#include "common/outcome.h"
#include "common/text.h"
#include "common/world.h"
#include "storage/run_log.h"

namespace common {

namespace {

// Rows gathered before they are written (or compressed).
constexpr size_t BATCH = 1 << 16;

bool ends_with_zst(const std::string &path)
{
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".zst") == 0;
}

void put_number(std::string &to, long long value)
{
    char digits[24];
    int n = 0;
    unsigned long long rest = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
    do {
        digits[n++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0)
        to += '-';
    while (n > 0)
        to += digits[--n];
}

}  // namespace

lineage::~lineage()
{
    unwatch();
    if (way_out.lineage == this)
        way_out.lineage = nullptr;
    if (zstd_ != nullptr)
        ZSTD_freeCCtx(zstd_);
}

bool lineage::open(const char *path, const run_description &run, unsigned seed, const std::string &who)
{
    unwatch();
    create(path, who.empty() ? run.program : who);
    described_ = run;
    seed_ = seed;
    begun_ = false;
    pending_.clear();
    pending_.reserve(2 * BATCH);  // never moved under a signal handler
    committed_ = 0;
    if (zstd_ != nullptr)
        ZSTD_freeCCtx(zstd_);
    zstd_ = fd_ >= 0 && ends_with_zst(path_) ? ZSTD_createCCtx() : nullptr;
    if (zstd_ != nullptr)
        ZSTD_CCtx_setParameter(zstd_, ZSTD_c_checksumFlag, 1);
    return fd_ >= 0;
}

void lineage::watch(world_base &w)
{
    unwatch();
    watched_ = &w;
    w.observers.add(this);
}

void lineage::unwatch()
{
    if (watched_ != nullptr)
        watched_->observers.remove(this);
    watched_ = nullptr;
}

// The lines gathered, to the file: through the compressor when there is
// one, the frame ended when `last`.
void lineage::flush(bool last)
{
    signals_held held;
    committed_ = 0;
    if (zstd_ == nullptr) {
        write_all(pending_.data(), pending_.size());
        pending_.clear();
        return;
    }
    std::vector<char> out(ZSTD_CStreamOutSize());
    ZSTD_inBuffer in{pending_.data(), pending_.size(), 0};
    size_t left = 0;
    do {
        ZSTD_outBuffer to{out.data(), out.size(), 0};
        left = ZSTD_compressStream2(zstd_, &to, &in, last ? ZSTD_e_end : ZSTD_e_continue);
        if (ZSTD_isError(left)) {
            write_error_ = EIO;
            break;
        }
        write_all(out.data(), to.pos);
    } while (fd_ >= 0 && (last ? left != 0 : in.pos < in.size));
    pending_.clear();
}

void lineage::put(const char *bytes, size_t length) { pending_.append(bytes, length); }

void lineage::write_header(const world_base &w)
{
    const run_description &run = described_;
    std::string head = provenance_lines(run, seed_, &w);  // as the log's first lines
    head += "pass,event,id,parent,partner,race,generation,cause,by,size";
    for (int i = 0; i < 25; i++)
        head += ",g" + std::to_string(i);
    head += run.vision ? ",vision\n" : "\n";
    put(head.data(), head.size());
}

// The header and the living bugs as founders, once, before any event.
void lineage::founders(const world_base &w)
{
    if (begun_ || fd_ < 0)
        return;
    begun_ = true;
    write_header(w);
    w.each_bug_seen([&](const bug_seen &b) { row(w.passes, "founder", b, nullptr, nullptr, "", nullptr); });
}

void lineage::row(long passes, const char *event, const bug_seen &b, const bug_seen *parent, const bug_seen *partner,
                  const char *cause, const bug_seen *by)
{
    std::string &to = pending_;
    put_number(to, passes);
    to += ',';
    to += event;
    to += ',';
    put_number(to, b.id);
    to += ',';
    if (parent != nullptr)
        put_number(to, parent->id);
    to += ',';
    if (partner != nullptr)
        put_number(to, partner->id);
    to += ',';
    to += b.race;
    to += ',';
    put_number(to, b.gen);
    to += ',';
    to += cause;
    to += ',';
    if (by != nullptr)
        put_number(to, by->id);
    const bool genes = *cause == '\0';
    to += ',';
    if (genes)
        put_number(to, b.size);
    for (int i = 0; i < 25; i++) {
        to += ',';
        if (genes && i < b.genes)
            put_number(to, b.dna[i]);
    }
    if (described_.vision) {
        to += ',';
        if (genes)
            put_number(to, b.vision);
    }
    to += '\n';
    committed_ = static_cast<sig_atomic_t>(pending_.size());
    if (pending_.size() >= BATCH)
        flush(false);
}

void lineage::at_pass_boundary(const world_base &w) { founders(w); }

void lineage::born(const world_base &w, const bug_seen &child, const bug_seen &parent, const bug_seen *partner)
{
    founders(w);
    if (fd_ >= 0)
        row(w.passes, "birth", child, &parent, partner, "", nullptr);
}

void lineage::died(const world_base &w, const bug_seen &bug, death_cause cause, const bug_seen *by)
{
    founders(w);
    if (fd_ >= 0)
        row(w.passes, "death", bug, nullptr, nullptr, cause == death_cause::killed ? "killed" : "starved", by);
}

int lineage::finish()
{
    if (watched_ != nullptr)
        founders(*watched_);
    if (fd_ >= 0)
        flush(true);
    close_file();
    unwatch();
    return take_error();
}

int lineage::end(int status, std::string *complaint) { return complain(status, finish(), complaint); }

// Async-signal-safe: the whole lines gathered of a plain file.
void lineage::say_in_signal_handler(int)
{
    if (zstd_ == nullptr && fd_ >= 0) {
        signals_held held;
        int saved = errno;
        write_all(pending_.data(), static_cast<size_t>(committed_));
        errno = saved;
    }
}

}  // namespace common

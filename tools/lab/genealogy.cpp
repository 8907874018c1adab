#include "tools/lab/genealogy.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <zstd.h>

#include "tools/lab/children.h"
#include "tools/lab/log_file.h"

namespace lab {

namespace {

// A line longer than this is no genealogy's: refused rather than held.
constexpr size_t LONGEST_LINE = 1 << 20;
const char header_start[] = "pass,event,id,parent,partner,race,generation,cause,by";
constexpr size_t GENES_FROM = 9;  // the first gene column

bool ends_with(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A whole number in [low, LLONG_MAX], digits only.
bool read_whole(const std::string &text, long long low, long long *value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    *value = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && *value >= low;
}

// A gene's value, NaN when empty; false for anything but a finite number.
bool read_gene(const std::string &text, double *value)
{
    if (text.empty()) {
        *value = NAN;
        return true;
    }
    char *end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(*value) && text.find_first_of(" \t") == std::string::npos;
}

}  // namespace

struct lineage_reader::decompressor {
    ZSTD_DCtx *context = ZSTD_createDCtx();
    std::vector<char> chunk = std::vector<char>(ZSTD_DStreamInSize());
    ZSTD_inBuffer in{chunk.data(), 0, 0};
    size_t left = 0;           // ZSTD_decompressStream's last hint: 0 when a frame is whole
    bool output_full = false;  // it filled the output: more may wait inside, input or not
    ~decompressor() { ZSTD_freeDCtx(context); }
};

lineage_reader::lineage_reader(const std::string &path) : path_(path) {}

lineage_reader::~lineage_reader()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

bool lineage_reader::fail(const std::string &why)
{
    error_ = path_ + (line_ > 0 ? ": line " + std::to_string(line_) : "") + ": " + why;
    return false;
}

bool lineage_reader::fail_read(const std::string &why)
{
    error_ = path_ + ": " + why;
    return false;
}

bool lineage_reader::open()
{
    int fd = open_regular(path_, &error_);
    if (fd < 0 || (file_ = fdopen(fd, "r")) == nullptr) {
        if (fd >= 0 && error_.empty())
            error_ = path_ + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    if (ends_with(path_, ".zst"))
        zstd_ = std::make_unique<decompressor>();
    std::string line;
    while (next_line(&line) && !line.empty() && line[0] == '#') {
    }
    if (!error_.empty())
        return false;
    if (line.compare(0, sizeof header_start - 1, header_start) != 0 || line[sizeof header_start - 1] != ',')
        return fail("not a genealogy (its header is not \"" + std::string(header_start) + ",GENES...\")");
    genes_ = split(line, ',');
    genes_.erase(genes_.begin(), genes_.begin() + GENES_FROM);
    for (const std::string &gene : genes_)
        if (gene.empty())
            return fail("a gene column without a name");
    return true;
}

// More of the file's text onto pending_; false at its end or on an error.
bool lineage_reader::fill()
{
    char plain[1 << 16];
    if (!zstd_) {
        size_t n = std::fread(plain, 1, sizeof plain, file_);
        pending_.append(plain, n);
        if (n == 0 && std::ferror(file_))
            return fail_read(std::string("cannot be read: ") + std::strerror(errno));
        return n > 0;
    }
    decompressor &z = *zstd_;
    if (z.in.pos == z.in.size && !z.output_full) {
        z.in.size = std::fread(z.chunk.data(), 1, z.chunk.size(), file_);
        z.in.pos = 0;
        if (z.in.size == 0 && std::ferror(file_))
            return fail_read(std::string("cannot be read: ") + std::strerror(errno));
        if (z.in.size == 0)
            return z.left != 0 ? fail_read("compressed data cut short") : false;
    }
    ZSTD_outBuffer out{plain, sizeof plain, 0};
    z.left = ZSTD_decompressStream(z.context, &out, &z.in);
    if (ZSTD_isError(z.left))
        return fail_read(std::string("not zstd data: ") + ZSTD_getErrorName(z.left));
    z.output_full = out.pos == out.size;
    pending_.append(plain, out.pos);
    return true;
}

bool lineage_reader::next_line(std::string *line)
{
    size_t end;
    while ((end = pending_.find('\n', taken_)) == std::string::npos) {
        pending_.erase(0, taken_);
        taken_ = 0;
        if (pending_.size() > LONGEST_LINE)
            return fail("a line longer than " + std::to_string(LONGEST_LINE) + " bytes");
        if (!ended_ && !fill())
            ended_ = true;
        if (!error_.empty())
            return false;
        if (ended_) {
            end = pending_.size();
            if (end == 0)
                return false;
            break;
        }
    }
    line->assign(pending_, taken_, end - taken_);
    taken_ = std::min(end + 1, pending_.size());
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    line_++;
    return true;
}

bool lineage_reader::next(lineage_event *event)
{
    std::string line;
    if (!next_line(&line))
        return false;
    std::vector<std::string> fields = split(line, ',');
    if (fields.size() != GENES_FROM + genes_.size())
        return fail(std::to_string(fields.size()) + " fields where the header has " +
                    std::to_string(GENES_FROM + genes_.size()));
    const std::string &kind = fields[1];
    event->kind = kind == "founder" ? 'f' : kind == "birth" ? 'b' : kind == "death" ? 'd' : 0;
    if (event->kind == 0)
        return fail("an event neither founder, birth nor death: " + kind);
    if (!read_whole(fields[0], last_pass_, &event->pass))
        return fail("a pass not a whole number at or after the last row's: " + fields[0]);
    if (!read_whole(fields[2], 1, &event->id))
        return fail("an id not a positive whole number: " + fields[2]);
    event->parent = 0;
    if (event->kind == 'b' && !read_whole(fields[3], 1, &event->parent))
        return fail("a birth's parent not a positive whole number: " + fields[3]);
    last_pass_ = event->pass;
    event->race = fields[5];
    event->genes.assign(genes_.size(), NAN);
    for (size_t i = 0; event->kind != 'd' && i < genes_.size(); i++)
        if (!read_gene(fields[GENES_FROM + i], &event->genes[i]))
            return fail("gene " + genes_[i] + " not a number: " + fields[GENES_FROM + i]);
    return true;
}

}  // namespace lab

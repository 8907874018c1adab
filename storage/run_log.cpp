#include "storage/run_log.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "common/signals.h"
#include "common/outcome.h"
#include "common/way_out.h"
#include "common/world.h"
#include "common/text.h"
#include "common/usage.h"

namespace common {

namespace {

constexpr size_t LONGEST_ROW = 36 * 21;

// Async-signal-safe: decimal digits without printf.
char *put_number(char *at, long long value)
{
    unsigned long long rest = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
    char digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0)
        *at++ = '-';
    while (n > 0)
        *at++ = digits[--n];
    return at;
}

}  // namespace

void run_log::flush()
{
    signals_held held;
    write_all(pending_, static_cast<size_t>(committed_));
    committed_ = 0;
}

// Where the next line goes, with at least `bytes` free behind it.
char *run_log::room(size_t bytes)
{
    if (static_cast<size_t>(committed_) + bytes > CAPACITY)
        flush();
    return pending_ + committed_;
}

void run_log::commit(const char *end)
{
    std::atomic_signal_fence(std::memory_order_release);
    committed_ = static_cast<sig_atomic_t>(end - pending_);
}

void run_log::put_text(const std::string &text)
{
    size_t length = std::min(text.size(), CAPACITY);
    char *at = room(length);
    std::memcpy(at, text.data(), length);
    commit(at + length);
}

void run_log::write_header()
{
    // Before the screen opens the sizes are not known yet: 0.
    put_text(provenance_lines(described_, seed_, logged_));
    std::string columns = "pass,population,races,food,age,gen,size";
    if (described_.vision)
        columns += ",vision";
    for (char race = 'A'; race <= 'Z'; race++)
        columns += std::string(",") + race;
    put_text(columns + ",other\n");
    header_written_ = true;
}

void run_log::write_row(long passes, const census &c)
{
    if (!header_written_)
        write_header();
    char *at = put_number(room(LONGEST_ROW), passes);
    for (long long value : {static_cast<long long>(c.population), static_cast<long long>(c.races), c.food, c.age,
                            c.gen, c.size}) {
        *at++ = ',';
        at = put_number(at, value);
    }
    if (described_.vision) {
        *at++ = ',';
        at = put_number(at, c.vision);
    }
    for (int count : c.letters) {
        *at++ = ',';
        at = put_number(at, count);
    }
    *at++ = ',';
    at = put_number(at, c.others);
    *at++ = '\n';
    commit(at);
}

// Async-signal-safe.
void run_log::write_end_line(int status)
{
    static const char start[] = "# end: status ";
    char line[sizeof start + 24];
    std::memcpy(line, start, sizeof start - 1);
    char *at = put_number(line + sizeof start - 1, status);
    *at++ = '\n';
    write_all(line, static_cast<size_t>(at - line));
}

std::string resumed_from(const std::string &path, long passes)
{
    return "'" + printable(path) + "' at pass " + std::to_string(passes);
}

std::string provenance_lines(const run_description &run, unsigned seed, const world_base *w)
{
    std::string start = run.resumed.empty() ? text_of("# seed: %u\n", seed) : "# resumed from: " + run.resumed + "\n";
    if (!run.branched.empty())
        start += "# branched from: " + run.branched + "\n";
    return text_of("# program: %s\n# version: %s\n%s# screen: %d x %d (lines x cols)\n"
                   "# world: %d x %d (rows x cols)\n# options: %s\n",
                   run.program, program_version(), start.c_str(), w ? w->screen_lines : 0, w ? w->screen_cols : 0,
                   w ? w->map.rows() : 0, w ? w->map.cols() : 0, run.options.empty() ? "none" : run.options.c_str());
}

run_log::~run_log()
{
    unwatch();
    if (way_out.log == this)
        way_out.log = nullptr;
}

bool run_log::open(const char *path, const run_description &run, unsigned seed, const std::string &who)
{
    unwatch();
    create(path, who.empty() ? run.program : who);
    described_ = run;
    seed_ = seed;
    header_written_ = false;
    row_begun_ = false;
    take_census_ = nullptr;
    passes_done_ = 0;
    committed_ = 0;
    every_ = 1;
    last_row_written_ = true;
    return fd_ >= 0;
}

void run_log::watch(world_base &w)
{
    unwatch();
    logged_ = &w;
    w.observers.add(this);
}

void run_log::unwatch()
{
    if (logged_ != nullptr)
        logged_->observers.remove(this);
    logged_ = nullptr;
}

census run_log::taken() const
{
    census c{};  // padding zeroed too, so that two can be compared whole
    take_census_(*logged_, &c);
    return c;
}

void run_log::at_pass_boundary(const world_base &w)
{
    if (!is_open())
        return;
    last_row_ = taken();
    // The first row always; the last, should it be thinned out, at the end.
    last_row_written_ = !row_begun_ || w.passes % every_ == 0;
    passes_done_ = w.passes;
    row_begun_ = true;
    if (last_row_written_)
        write_row(passes_done_, last_row_);
    if (passes_done_ % 25 == 0)
        flush();
}

int run_log::finish(int status, bool in_signal_handler)
{
    if (!is_open()) {
        if (!in_signal_handler)
            unwatch();
        return take_error();
    }
    signals_held held;
    if (in_signal_handler) {
        int saved = errno;
        write_all(pending_, static_cast<size_t>(committed_));
        write_end_line(status);
        errno = saved;
        return write_error_;
    }
    if (!header_written_)
        write_header();
    // The world as the run ended: as it began (or was resumed) when no pass
    // boundary made a row (a run of no passes); else in the pass under way, unless
    // nothing has changed since the last row (a quit at a pass boundary).
    if (take_census_ != nullptr && logged_ != nullptr) {
        census c = taken();
        if (!row_begun_)
            write_row(logged_->passes, c);
        else if (std::memcmp(&c, &last_row_, sizeof c) != 0)
            write_row(passes_done_ + 1, c);
        else if (!last_row_written_)  // thinned out, yet the last
            write_row(passes_done_, last_row_);
    }
    flush();
    write_end_line(status);
    close_file();
    unwatch();
    return take_error();
}

int run_log::end(int status, std::string *complaint)
{
    return complain(status, finish(status, false), complaint);
}

}  // namespace common

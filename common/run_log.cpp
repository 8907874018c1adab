#include "common/run_log.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "common/signals.h"
#include "common/world.h"
#include "common/outcome.h"
#include "common/text.h"

namespace common {

namespace {

// The header and many rows fit; the longest row has 36 numbers.
constexpr size_t CAPACITY = 1 << 16;
constexpr size_t LONGEST_ROW = 36 * 21;

// The process's log, which a fatal signal's handler finishes.
struct log_state {
    int fd = -1;
    // Only whole lines lie below `committed`: that is all a signal handler
    // writes, whatever the interrupted code was doing above it.
    char pending[CAPACITY];
    volatile sig_atomic_t committed = 0;
    run_description described;
    std::string path;
    unsigned seed_of_run = 0;
    bool header_written = false;
    bool row_begun = false;                                         // a pass boundary has made a row
    void (*take_census)(const world_base &, census *) = nullptr;  // set when the loop begins
    const world_base *logged = nullptr;                             // the world of the rows
    long passes_done = 0;                                           // as of the last pass boundary
    int write_error = 0;                                            // errno of the write that ended the log
    census last_row;                                                // the figures of the last row written
} the_log;

// Holds off every signal while the buffer and the file change together,
// so that a handler never writes the same rows twice.
class signals_held {
public:
    signals_held()
    {
        sigset_t all;
        sigfillset(&all);
        sigprocmask(SIG_BLOCK, &all, &before_);
    }
    ~signals_held() { sigprocmask(SIG_SETMASK, &before_, nullptr); }

private:
    sigset_t before_;
};

// A failed write ends the log where it stands (a full disk, a closed
// pipe, a file size limit lose the log, not the run); its error is kept
// for the end of the run. Async-signal-safe; signals are held around it.
void write_all(const char *bytes, size_t length)
{
    while (length > 0 && the_log.fd >= 0) {
        ssize_t written = write(the_log.fd, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            the_log.write_error = written < 0 ? errno : EIO;
            take_back_signal_of(the_log.write_error);
            close(the_log.fd);
            the_log.fd = -1;
            return;
        }
        bytes += written;
        length -= static_cast<size_t>(written);
    }
}

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

void flush()
{
    signals_held held;
    write_all(the_log.pending, static_cast<size_t>(the_log.committed));
    the_log.committed = 0;
}

// Where the next line goes, with at least `bytes` free behind it.
char *room(size_t bytes)
{
    if (static_cast<size_t>(the_log.committed) + bytes > CAPACITY)
        flush();
    return the_log.pending + the_log.committed;
}

void commit(const char *end)
{
    std::atomic_signal_fence(std::memory_order_release);
    the_log.committed = static_cast<sig_atomic_t>(end - the_log.pending);
}

void put_text(const std::string &text)
{
    size_t length = std::min(text.size(), CAPACITY);
    char *at = room(length);
    std::memcpy(at, text.data(), length);
    commit(at + length);
}

void write_header()
{
    // Before the screen opens the sizes are not known yet: 0.
    const world_base *w = the_log.logged;
    const run_description &run = the_log.described;
    const std::string start =
        run.resumed.empty() ? text_of("# seed: %u", the_log.seed_of_run) : "# resumed from: " + run.resumed;
    put_text(text_of("# program: %s\n%s\n# screen: %d x %d (lines x cols)\n"
                     "# world: %d x %d (rows x cols)\n# options: %s\n",
                     run.program, start.c_str(), w ? w->screen_lines : 0, w ? w->screen_cols : 0,
                     w ? w->map.rows() : 0, w ? w->map.cols() : 0,
                     run.options.empty() ? "none" : run.options.c_str()));
    std::string columns = "pass,population,races,food,age,gen,size";
    if (the_log.described.vision)
        columns += ",vision";
    for (char race = 'A'; race <= 'Z'; race++)
        columns += std::string(",") + race;
    put_text(columns + ",other\n");
    the_log.header_written = true;
}

void write_row(long passes, const census &c)
{
    if (!the_log.header_written)
        write_header();
    the_log.last_row = c;
    char *at = put_number(room(LONGEST_ROW), passes);
    for (long long value : {static_cast<long long>(c.population), static_cast<long long>(c.races), c.food, c.age,
                            c.gen, c.size}) {
        *at++ = ',';
        at = put_number(at, value);
    }
    if (the_log.described.vision) {
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
void write_end_line(int status)
{
    static const char start[] = "# end: status ";
    char line[sizeof start + 24];
    std::memcpy(line, start, sizeof start - 1);
    char *at = put_number(line + sizeof start - 1, status);
    *at++ = '\n';
    write_all(line, static_cast<size_t>(at - line));
}

}  // namespace

std::string resumed_from(const std::string &path, long passes)
{
    return "'" + printable(path) + "' at pass " + std::to_string(passes);
}

bool logging() { return the_log.fd >= 0; }

bool open_log(const char *path, const run_description &run, unsigned seed)
{
    if (the_log.fd >= 0)
        close(the_log.fd);
    the_log.fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    the_log.described = run;
    the_log.path = path;
    the_log.seed_of_run = seed;
    the_log.header_written = false;
    the_log.row_begun = false;
    the_log.write_error = 0;
    the_log.take_census = nullptr;
    the_log.logged = nullptr;
    the_log.passes_done = 0;
    the_log.committed = 0;
    return the_log.fd >= 0;
}

census taken()
{
    census c{};  // padding zeroed too, so that two can be compared whole
    the_log.take_census(*the_log.logged, &c);
    return c;
}

void log_world(const world_base &w) { the_log.logged = &w; }

void log_census_from(void (*take)(const world_base &, census *)) { the_log.take_census = take; }

void log_pass(const world_base &w, void (*take)(const world_base &, census *))
{
    long passes = w.passes;
    the_log.logged = &w;
    the_log.take_census = take;
    the_log.passes_done = passes;
    the_log.row_begun = true;
    write_row(passes, taken());
    if (passes % 25 == 0)
        flush();
}

int finish_log(int status, bool in_signal_handler)
{
    if (!logging())
        return std::exchange(the_log.write_error, 0);
    signals_held held;
    if (in_signal_handler) {
        int saved = errno;
        write_all(the_log.pending, static_cast<size_t>(the_log.committed));
        write_end_line(status);
        errno = saved;
        return the_log.write_error;
    }
    if (!the_log.header_written)
        write_header();
    // The world as the run ended: as it began (or was resumed) when no pass
    // boundary made a row (a run of no passes); else in the pass under way, unless
    // nothing has changed since the last row (a quit at a pass boundary).
    if (the_log.take_census != nullptr) {
        census c = taken();
        if (!the_log.row_begun)
            write_row(the_log.logged ? the_log.logged->passes : 0, c);
        else if (std::memcmp(&c, &the_log.last_row, sizeof c) != 0)
            write_row(the_log.passes_done + 1, c);
    }
    flush();
    write_end_line(status);
    if (the_log.fd >= 0)
        close(the_log.fd);
    the_log.fd = -1;
    return std::exchange(the_log.write_error, 0);
}

int end_log(int status, const char *who, std::string *complaint)
{
    int error = finish_log(status, false);
    if (error == 0)
        return status;
    *complaint += text_of("%s: cannot write '%s': %s\n", who, printable(the_log.path).c_str(), std::strerror(error));
    return status == 0 ? EXIT_BAD_ENVIRONMENT : status;
}

}  // namespace common

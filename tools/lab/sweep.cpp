#include "tools/lab/sweep.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <new>
#include <set>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/text.h"
#include "storage/headless.h"
#include "common/random.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"
#include "tools/cli.h"
#include "tools/lab/children.h"
#include "tools/lab/log_file.h"
#include "tools/lab/summary.h"
#include "tools/lab/workers.h"
#include "tools/saved_world.h"
#include "vivarium/rules.h"
#include "storage/lineage.h"
#include "storage/run_log.h"

namespace lab {

namespace {

// More seeds than anyone waits for are a typing error.
constexpr size_t MOST_RUNS = 1000000;

// "1-40", "3,5,9" or a mix of both; a seed given twice runs once.
bool read_seeds(const std::string &text, std::vector<unsigned> *seeds)
{
    std::set<unsigned> seen(seeds->begin(), seeds->end());
    for (const std::string &part : split(text, ',')) {
        std::vector<std::string> ends = split(part, '-');
        unsigned first = 0, last = 0;
        if (ends.size() == 1 && common::parse_seed(part.c_str(), &first))
            last = first;
        else if (ends.size() != 2 || !common::parse_seed(ends[0].c_str(), &first) ||
                 !common::parse_seed(ends[1].c_str(), &last) || first > last)
            return false;
        if (last - first >= MOST_RUNS - seeds->size())
            return false;
        for (unsigned long long seed = first; seed <= last; seed++)
            if (seen.insert(static_cast<unsigned>(seed)).second)
                seeds->push_back(static_cast<unsigned>(seed));
    }
    return !seeds->empty();
}

// A value of -s (`real`), -r or -g: a number with nothing after it. (The
// programs read "4x" as 4; a sweep names its directories by the values,
// and takes no text it would not use.)
bool plain_number(const std::string &text, bool real)
{
    long integer = 0;
    if (!real)
        return read_number(text.c_str(), LONG_MIN, LONG_MAX, &integer);
    char *end = nullptr;
    std::strtod(text.c_str(), &end);
    return !text.empty() && text.find_first_not_of("0123456789.eE+-") == std::string::npos &&
           end == text.c_str() + text.size();
}

// A setting's directory, by the values read.
std::string setting_name(const terrarium::options &chosen)
{
    return common::text_of("s%g-r%d-g%d", static_cast<double>(chosen.world_size), chosen.roughness,
                           chosen.grid_size);
}

// Every combination of the -s, -r and -g values, each checked as terrarium
// checks its command line, named by the values read: "1.0" and "1" are one
// setting, "s1".
bool make_settings(const std::vector<std::string> lists[3], std::vector<setting> *settings, std::string *why)
{
    for (const std::string &s : lists[0])
        for (const std::string &r : lists[1])
            for (const std::string &g : lists[2]) {
                const char *argv[] = {"terrarium", "-s", s.c_str(), "-r", r.c_str(), "-g", g.c_str()};
                setting one;
                const char *message = nullptr;
                if (terrarium::parse_options(7, argv, &one.chosen, &message) != 0) {
                    *why = std::string(message, std::strlen(message) - 1);
                    return false;
                }
                one.name = setting_name(one.chosen);
                if (std::none_of(settings->begin(), settings->end(),
                                 [&](const setting &other) { return other.name == one.name; }))
                    settings->push_back(one);
            }
    return true;
}

}  // namespace

namespace {

// -s, -r or -g: a comma list of plain numbers.
void add_list(CLI::App &app, const std::string &name, int list, sweep_arguments *given, const std::string &help)
{
    auto read = [=](const std::string &text) {
        for (const std::string &one : split(text, ','))
            if (!plain_number(one, list == 0))
                throw CLI::ValidationError("bad value for " + name + ": " + text, CLI::ExitCodes::ValidationError);
        given->lists[list] = text;
        given->swept = true;
    };
    app.add_option_function<std::string>(name, read, help)->type_name("N,...");
}

// "K/N": share K of N, K from 1 to N.
void read_share(const std::string &text, sweep_arguments *given)
{
    std::vector<std::string> parts = split(text, '/');
    long shares = 0, share = 0;
    if (parts.size() != 2 || !read_number(parts[1].c_str(), 1, static_cast<long>(MOST_RUNS), &shares) ||
        !read_number(parts[0].c_str(), 1, shares, &share))
        throw CLI::ValidationError("bad value for --shard: " + text + " (K/N, K from 1 to N)",
                                   CLI::ExitCodes::ValidationError);
    given->share = share;
    given->shares = shares;
}

}  // namespace

void add_sweep_options(CLI::App &app, sweep_arguments *given)
{
    given->jobs = sysconf(_SC_NPROCESSORS_ONLN);
    given->passes = -1;
    app.add_option_function<std::string>(
           "--seeds",
           [given](const std::string &text) {
               given->seeds.clear();
               if (!read_seeds(text, &given->seeds))
                   throw CLI::ValidationError("bad value for --seeds: " + text, CLI::ExitCodes::ValidationError);
           },
           "The seeds: a range, a list, or a list of ranges (0 to 4294967295); required")
        ->type_name("A-B|A,B,...");
    tools::add_number(app, "--passes", &given->passes, 0, 1000000000L, "Passes to run each world for; required");
    app.add_option("--out", given->out, "The directory of the logs, the manifest and the summary; required")
        ->type_name("DIR");
    app.add_option_function<std::string>(
           "--from",
           [given](const std::string &path) {
               given->from = path;
               given->branched = true;
           },
           "Start every run from the world saved in FILE, reseeded with the run's seed; the world's program, "
           "options and screen are the file's")
        ->type_name("FILE");
    app.add_option("--program", given->program, "The program whose worlds run (default terrarium)")
        ->type_name("NAME")
        ->check(CLI::IsMember({"terrarium", "vivarium"}));
    tools::add_number(app, "--lines", &given->lines, 1, 10000, "Screen lines (1 to 10000, default 24)");
    tools::add_number(app, "--cols", &given->cols, 1, 10000, "Screen columns (1 to 10000, default 80)");
    add_list(app, "-s", 0, given, "terrarium's world sizes to sweep (default 2)");
    add_list(app, "-r", 1, given, "terrarium's roughnesses to sweep (default 150)");
    add_list(app, "-g", 2, given, "terrarium's grid exponents to sweep (default 4)");
    tools::add_number(app, "--jobs", &given->jobs, 1, 1000, "Worlds run at once (default: the cores)");
    app.add_option_function<std::string>(
           "--shard", [given](const std::string &text) { read_share(text, given); },
           "Run only share K of N (K from 1 to N): every N-th run, from the K-th on")
        ->type_name("K/N");
    tools::add_number(app, "--every", &given->every, 1, 1000000000L,
                      "Log every N-th pass's row, the first and last always (1 to 1000000000, default 1)");
    app.add_flag("--no-summary", given->no_summary, "Only the logs, no summary");
    app.add_flag("--lineage", given->lineage, "Write each run's genealogy beside its log (seedN.lineage.csv)");
    app.add_flag("--add", given->add, "Add the runs to the sweep of the same kind already in DIR");
}

bool make_sweep(const sweep_arguments &given, sweep *s, std::string *why)
{
    if (given.seeds.empty() || given.passes < 0 || given.out.empty()) {
        *why = "--seeds, --passes and --out are required";
        return false;
    }
    s->seeds = given.seeds;
    s->passes = given.passes;
    s->lines = given.lines > 0 ? static_cast<int>(given.lines) : 24;
    s->cols = given.cols > 0 ? static_cast<int>(given.cols) : 80;
    s->jobs = static_cast<int>(given.jobs);
    s->out = given.out;
    s->summary = !given.no_summary;
    s->add = given.add;
    s->lineage = given.lineage;
    s->share = given.share;
    s->shares = given.shares;
    s->every = given.every;
    s->from = given.from;
    s->branched = given.branched;
    if (given.branched) {
        *why = "-s, -r, -g, --lines and --cols are the world file's with --from";
        return !given.swept && given.lines == 0 && given.cols == 0;
    }
    if (given.program == "vivarium") {
        s->program = &vivarium::world_rules;
        s->settings = {{"vivarium", {}}};
        *why = "vivarium takes no -s, -r or -g";
        return !given.swept;
    }
    s->program = &terrarium::world_rules;
    std::vector<std::string> lists[3];
    for (int list = 0; list < 3; list++)
        lists[list] = split(given.lists[list], ',');
    return make_settings(lists, &s->settings, why);
}

int branch_from(const sweep_arguments &given, sweep *s, std::string *why)
{
    tools::saved_world saved;
    int status = tools::read_saved_world(s->from, &saved, why);
    if (status != 0)
        return status;
    if (!given.program.empty() && given.program != saved.program->name) {
        *why = "--program " + given.program + ": '" + s->from + "' holds a world of " + saved.program->name;
        return tools::BAD_COMMAND_LINE;
    }
    const common::world_base &w = *saved.world;
    s->program = saved.program;
    s->lines = w.screen_lines;
    s->cols = w.screen_cols;
    s->resumed = saved.run;
    if (s->program == &terrarium::world_rules) {
        const terrarium::options &shape = static_cast<const terrarium::world &>(w).shape;
        s->settings = {{setting_name(shape), shape}};
    } else {
        s->settings = {{"vivarium", {}}};
    }
    s->saved = std::move(saved.world);
    return 0;
}

namespace {

struct run {
    const setting *where;
    unsigned seed;
};

std::string log_name(const run &r) { return r.where->name + "/seed" + std::to_string(r.seed) + ".csv"; }

std::string log_path(const sweep &s, const run &r) { return s.out + "/" + log_name(r); }

// A run's world: a new one, or a copy of the saved one reseeded with the
// run's seed. Throws std::bad_alloc when its memory cannot be had.
std::unique_ptr<common::world_base> new_world(const sweep &s, const run &r)
{
    if (s.saved) {
        std::unique_ptr<common::world_base> copy = s.saved->clone();
        copy->random.reseed(r.seed);
        return copy;
    }
    if (s.program == &terrarium::world_rules)
        return std::make_unique<terrarium::world>(r.where->chosen);
    return s.program->new_world();
}

// In a worker: one headless world through the same code as simdump, its
// log written as the program writes it. The dump and the messages of the
// world's end go to the worker's standard streams, /dev/null: they would
// only clutter the progress report, and the log's end line keeps the
// status.
job_end run_world(const sweep &s, const run &r)
{
    std::unique_ptr<common::world_base> world;
    try {
        world = new_world(s, r);
    } catch (const std::bad_alloc &) {
        return {common::EXIT_WORLD_TOO_LARGE, 0};
    }
    std::string path = log_path(s, r);
    common::run_description described = s.program->describe(*world);
    if (s.saved)
        described.branched = common::resumed_from(s.from, s.saved->passes);
    common::run_log log;
    if (!log.open(path.c_str(), described, r.seed))
        return {1, errno};
    log.thin_to(s.every);
    common::lineage genealogy;
    if (s.lineage) {
        path.replace(path.size() - 4, 4, ".lineage.csv");
        if (!genealogy.open(path.c_str(), s.program->describe(*world), r.seed))
            return {1, errno};
        genealogy.watch(*world);
    }
    int status = s.saved ? common::resume_headless(*world, *s.program, s.resumed, s.passes, stdout, {}, &log)
                         : common::run_headless(*world, *s.program, r.seed, s.lines, s.cols, s.passes, stdout, {}, &log);
    std::string complaint;
    status = genealogy.end(status, &complaint);
    std::fputs(complaint.c_str(), stderr);
    return {status, 0};
}

int terminal_width()
{
    winsize size{};
    return ioctl(2, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

// A bar with the time left on a terminal, a line per run otherwise; on
// the error stream, so that the standard output holds only the summary.
void report(const run &r, size_t done, size_t total, double seconds)
{
    if (!isatty(2)) {
        std::fprintf(stderr, "%zu/%zu %s seed %u\n", done, total, r.where->name.c_str(), r.seed);
        return;
    }
    long left = static_cast<long>(seconds / static_cast<double>(done) * static_cast<double>(total - done) + 0.5);
    std::string figures = common::text_of(" %zu/%zu  %ld:%02ld left ", done, total, left / 60, left % 60);
    int width = std::max(10, terminal_width() - static_cast<int>(figures.size()) - 3);
    int full = static_cast<int>(static_cast<double>(width) * static_cast<double>(done) / static_cast<double>(total));
    std::fprintf(stderr, "\r[%s%s]%s%s", std::string(static_cast<size_t>(full), '#').c_str(),
                 std::string(static_cast<size_t>(width - full), '.').c_str(), figures.c_str(), done == total ? "\n" : "");
}

// Why a finished run failed; empty when it ended well with its log whole.
// 0: passes done or one bug left; 7: the terrain was refused.
std::string failure(const std::string &path, int status)
{
    if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != common::EXIT_BAD_TERRAIN))
        return path + " failed: " + wait_status_text(status);
    log_file log;
    std::string why;
    if (!read_log(path, &log, &why))
        return why;
    if (!log.ended || log.end_status != WEXITSTATUS(status))
        return path + " failed: its log is cut short";
    return "";
}

// Whether `dir` holds a sweep's files: a manifest, a summary or logs.
bool holds_sweep(const std::string &dir)
{
    std::error_code error;
    return std::filesystem::exists(dir + "/manifest", error) || std::filesystem::exists(dir + "/summary.csv", error) ||
           !sweep_logs(dir).empty();
}

// The manifest's first line: what every run of the directory shares. A
// branched sweep's names its file as given, printable(), and the pass it
// was saved in; thinned logs say their step.
std::string manifest_header(const sweep &s)
{
    std::string from, thinned;
    if (s.saved)
        from = common::text_of(", branched from %s at pass %ld", common::printable(s.from).c_str(), s.saved->passes);
    if (s.every > 1)
        thinned = common::text_of(", logged every %ld passes", s.every);
    return common::text_of("# terrarium-lab sweep: %s, %ld passes%s, screen %d x %d%s\n", s.program->name, s.passes,
                           thinned.c_str(), s.lines, s.cols, from.c_str());
}

// Records the runs in out/manifest, made with its header, or added to.
bool write_manifest(const sweep &s, const std::vector<run> &runs)
{
    std::string path = s.out + "/manifest", text;
    int fd = open_file(path.c_str(), O_WRONLY | O_CREAT | O_EXCL);
    if (fd >= 0)
        text = manifest_header(s);
    else if (errno == EEXIST)
        fd = open_file(path.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK);  // a FIFO put there since: no wait
    for (const run &r : runs)
        text += log_name(r) + "\n";
    bool written = fd >= 0 && write_all(fd, text);
    if ((fd >= 0 && close(fd) != 0) || !written) {
        complain("cannot write " + path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

// The settings' directories and the manifest, refusing to mix this sweep
// into another's files unless told to add to them, and to add it to a
// sweep of another program, passes or screen.
bool prepare_out(const sweep &s, const std::vector<run> &runs)
{
    std::string start, why;
    if (!s.add && holds_sweep(s.out)) {
        complain(s.out + " holds another sweep's files (--add adds to them)");
        return false;
    }
    if (!manifest_line(s.out, &start, &why)) {
        complain(why);
        return false;
    }
    if (!start.empty() && start + "\n" != manifest_header(s)) {
        // The manifest's line is printable() already.
        std::fprintf(stderr, "terrarium-lab: %s holds another kind of sweep (%s): not added to\n",
                     common::printable(s.out).c_str(), start.c_str());
        return false;
    }
    for (const setting &where : s.settings) {
        std::error_code error;
        std::filesystem::create_directories(s.out + "/" + where.name, error);
        if (error) {
            complain("cannot make " + s.out + "/" + where.name + ": " + error.message());
            return false;
        }
    }
    return write_manifest(s, runs);
}

}  // namespace

int run_sweep(const sweep &s)
{
    std::vector<run> runs;
    size_t index = 0;
    for (const setting &where : s.settings)
        for (unsigned seed : s.seeds)
            if (in_share(index++, s.share, s.shares))
                runs.push_back({&where, seed});
    if (runs.empty()) {
        std::fprintf(stderr, "share %ld of %ld holds none of the %zu runs\n", s.share, s.shares, index);
        return 0;
    }
    if (!prepare_out(s, runs))
        return 1;
    end_children_with_lab();
    auto start = std::chrono::steady_clock::now();
    size_t done = 0;
    int failed = 0;
    auto ended = [&](size_t job, int status, int error) {
        const run &r = runs[job];
        std::string path = log_path(s, r);
        if (error != 0)
            complain("cannot open " + path + ": " + std::strerror(error));
        std::string why = failure(path, status);
        if (!why.empty()) {
            std::fprintf(stderr, "%sterrarium-lab: %s\n", isatty(2) ? "\n" : "", common::printable(why).c_str());
            failed++;
        }
        report(r, ++done, runs.size(),
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    };
    int lost = run_in_workers(runs.size(), s.jobs, [&](size_t job) { return run_world(s, runs[job]); }, ended);
    if (lost < 0)
        return 1;
    if (failed > 0)
        std::fprintf(stderr, "terrarium-lab: %d of %zu runs failed\n", failed, runs.size());
    int status = s.summary ? summarize({s.out}) : 0;
    return failed > 0 || lost > 0 ? 1 : status;
}

}  // namespace lab

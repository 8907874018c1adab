#include "tools/lab/sweep.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/text.h"
#include "common/headless.h"
#include "common/random.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"
#include "tools/read_number.h"
#include "tools/lab/log_file.h"
#include "tools/lab/summary.h"
#include "vivarium/rules.h"

namespace lab {

namespace {

// More seeds than anyone waits for are a typing error.
constexpr size_t MOST_RUNS = 1000000;

// "1-40", "3,5,9" or a mix of both.
bool read_seeds(const std::string &text, std::vector<unsigned> *seeds)
{
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
            seeds->push_back(static_cast<unsigned>(seed));
    }
    return !seeds->empty();
}

// Every combination of the -s, -r and -g values, each checked as terrarium
// checks its command line.
bool make_settings(const std::vector<std::string> lists[3], std::vector<setting> *settings, std::string *why)
{
    for (const std::string &s : lists[0])
        for (const std::string &r : lists[1])
            for (const std::string &g : lists[2]) {
                const char *argv[] = {"terrarium", "-s", s.c_str(), "-r", r.c_str(), "-g", g.c_str()};
                setting one{"s" + s + "-r" + r + "-g" + g, {}};
                const char *message = nullptr;
                if (terrarium::parse_options(7, argv, &one.chosen, &message) != 0) {
                    *why = std::string(message, std::strlen(message) - 1);
                    return false;
                }
                settings->push_back(one);
            }
    return true;
}

}  // namespace

bool parse_sweep(int argc, char *argv[], sweep *s, std::string *why)
{
    std::string program = "terrarium";
    std::vector<std::string> lists[3] = {{"2"}, {"150"}, {"4"}};
    const char *list_options[3] = {"-s", "-r", "-g"};
    bool swept = false;
    long jobs = sysconf(_SC_NPROCESSORS_ONLN), passes = -1, lines = 24, cols = 80;
    for (int i = 0; i < argc; i++) {
        std::string option = argv[i];
        if (option == "--no-summary") {
            s->summary = false;
            continue;
        }
        if (i + 1 >= argc) {
            *why = option + " needs a value";
            return false;
        }
        const char *value = argv[++i];
        bool good = true;
        int list = 0;
        while (list < 3 && option != list_options[list])
            list++;
        if (list < 3) {
            lists[list] = split(value, ',');
            swept = true;
        } else if (option == "--program") {
            program = value;
        } else if (option == "--seeds") {
            good = read_seeds(value, &s->seeds);
        } else if (option == "--passes") {
            good = read_number(value, 0, 1000000000L, &passes);
        } else if (option == "--lines") {
            good = read_number(value, 1, 10000, &lines);
        } else if (option == "--cols") {
            good = read_number(value, 1, 10000, &cols);
        } else if (option == "--jobs") {
            good = read_number(value, 1, 1000, &jobs);
        } else if (option == "--out") {
            s->out = value;
        } else {
            *why = "unknown option " + option;
            return false;
        }
        if (!good) {
            *why = "bad value for " + option + ": " + value;
            return false;
        }
    }
    if (program != "terrarium" && program != "vivarium") {
        *why = "--program must be terrarium or vivarium";
        return false;
    }
    if (s->seeds.empty() || passes < 0 || s->out.empty()) {
        *why = "--seeds, --passes and --out are required";
        return false;
    }
    s->passes = passes;
    s->lines = static_cast<int>(lines);
    s->cols = static_cast<int>(cols);
    s->jobs = static_cast<int>(jobs);
    if (program == "vivarium") {
        s->program = &vivarium::world_rules;
        s->settings = {{"vivarium", {}}};
        *why = "vivarium takes no -s, -r or -g";
        return !swept;
    }
    s->program = &terrarium::world_rules;
    return make_settings(lists, &s->settings, why);
}

namespace {

struct run {
    const setting *where;
    unsigned seed;
};

std::string log_path(const sweep &s, const run &r)
{
    return s.out + "/" + r.where->name + "/seed" + std::to_string(r.seed) + ".csv";
}

// In the child: one headless world through the same code as simdump, its
// log written as the program writes it. Messages of the world's end would
// only clutter the progress report; the log's end line keeps the status.
// The parent flushed its streams before the fork, so the child may end
// with exit: nothing of the parent's is written twice.
[[noreturn]] void run_world(const sweep &s, const run &r)
{
    std::string path = log_path(s, r);
    std::unique_ptr<common::world_base> world;
    if (s.program == &terrarium::world_rules)
        world = std::make_unique<terrarium::world>(r.where->chosen);
    else
        world = std::make_unique<vivarium::world>();
    if (!common::open_log(path.c_str(), s.program->describe(*world), r.seed)) {
        std::fprintf(stderr, "terrarium-lab: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        std::exit(1);
    }
    std::FILE *nowhere = std::fopen("/dev/null", "w");
    if (nowhere == nullptr || dup2(fileno(nowhere), 2) < 0)
        std::exit(1);
    std::exit(common::run_headless(*world, *s.program, r.seed, s.lines, s.cols, s.passes, nowhere));
}

int terminal_width()
{
    winsize size{};
    return ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

// A bar with the time left on a terminal, a line per run otherwise.
void report(const run &r, size_t done, size_t total, double seconds)
{
    if (!isatty(1)) {
        std::printf("%zu/%zu %s seed %u\n", done, total, r.where->name.c_str(), r.seed);
        std::fflush(stdout);
        return;
    }
    long left = static_cast<long>(seconds / static_cast<double>(done) * static_cast<double>(total - done) + 0.5);
    std::string figures = common::text_of(" %zu/%zu  %ld:%02ld left ", done, total, left / 60, left % 60);
    int width = std::max(10, terminal_width() - static_cast<int>(figures.size()) - 3);
    int full = static_cast<int>(static_cast<double>(width) * static_cast<double>(done) / static_cast<double>(total));
    std::printf("\r[%s%s]%s", std::string(static_cast<size_t>(full), '#').c_str(),
                std::string(static_cast<size_t>(width - full), '.').c_str(), figures.c_str());
    if (done == total)
        std::putchar('\n');
    std::fflush(stdout);
}

}  // namespace

int run_sweep(const sweep &s)
{
    std::vector<run> runs;
    for (const setting &where : s.settings) {
        std::error_code error;
        std::filesystem::create_directories(s.out + "/" + where.name, error);
        if (error) {
            std::fprintf(stderr, "terrarium-lab: cannot make %s/%s: %s\n", s.out.c_str(), where.name.c_str(),
                         error.message().c_str());
            return 1;
        }
        for (unsigned seed : s.seeds)
            runs.push_back({&where, seed});
    }
    auto start = std::chrono::steady_clock::now();
    std::map<pid_t, run> running;
    size_t next = 0, done = 0;
    int failed = 0;
    while (done < runs.size()) {
        while (static_cast<int>(running.size()) < s.jobs && next < runs.size()) {
            std::fflush(nullptr);
            pid_t pid = fork();
            if (pid == 0)
                run_world(s, runs[next]);
            if (pid < 0) {
                std::perror("terrarium-lab: fork");
                return 1;
            }
            running[pid] = runs[next++];
        }
        int status = 0;
        pid_t pid = wait(&status);
        if (pid < 0) {
            if (errno == EINTR)
                continue;
            std::perror("terrarium-lab: wait");
            return 1;
        }
        run r = running[pid];
        running.erase(pid);
        // 0: passes done or one bug left; 7: the terrain was refused.
        if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 7)) {
            std::fprintf(stderr, "%sterrarium-lab: %s failed (status %d)\n", isatty(1) ? "\n" : "",
                         log_path(s, r).c_str(), status);
            failed++;
        }
        report(r, ++done, runs.size(),
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    int status = s.summary ? summarize(s.out) : 0;
    return failed > 0 ? 1 : status;
}

}  // namespace lab

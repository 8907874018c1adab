// simdump: runs terrarium or vivarium headless for a number of passes and
// prints the state of the world; with --log, writes the run's log as well.
// The world can be saved on the way (--save-at) and a run resumed from a
// saved world (--resume).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "storage/headless.h"
#include "common/streams.h"
#include "common/text.h"
#include "storage/world_file.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"
#include "tools/cli.h"
#include "tools/programs.h"
#include "tools/saved_world.h"
#include "storage/lineage.h"
#include "storage/run_log.h"

namespace {

const char usage[] =
    "usage: simdump --program terrarium|vivarium --seed N --lines L --cols C --passes P"
    " [-s S] [-r R] [-g G] [--save-at N FILE] [--log FILE [--every N]] [--lineage FILE]\n"
    "       simdump --resume FILE [--program terrarium|vivarium] --passes P [--save-at N FILE]"
    " [--log FILE [--every N]] [--lineage FILE]\n";

struct arguments {
    std::string program;
    long seed = 0, lines = 0, cols = 0, passes = 0, every = 1;
    std::string log_path;
    std::string lineage_path;
    common::save_point save;
    std::string resume_path;
    std::vector<std::string> terrarium_options;  // "-s", "1", ... as given
};

// terrarium's options go to terrarium's own reader, values unread.
void add_terrarium_option(CLI::App &app, const char *name, const char *help, arguments *chosen)
{
    app.add_option_function<std::string>(
           name, [chosen, name](const std::string &value) { chosen->terrarium_options.insert(
                                                                  chosen->terrarium_options.end(), {name, value}); },
           help)
        ->type_name("N");
}

// The options that make a new world: each required, unless a run is
// resumed, which refuses them.
const char *const new_world_options[] = {"--program", "--seed", "--lines", "--cols", "-s", "-r", "-g"};

void add_options(CLI::App &app, arguments *chosen)
{
    app.add_option("--program", chosen->program, "The program whose world runs (with --resume: the file's)")
        ->type_name("NAME")
        ->check(CLI::IsMember({"terrarium", "vivarium"}));
    tools::add_number(app, "--seed", &chosen->seed, 0, 4294967295L, "Seed of the random generator (0 to 4294967295)");
    tools::add_number(app, "--lines", &chosen->lines, 1, 10000, "Screen lines (1 to 10000)");
    tools::add_number(app, "--cols", &chosen->cols, 1, 10000, "Screen columns (1 to 10000)");
    tools::add_number(app, "--passes", &chosen->passes, 0, 1000000000L, "Passes to run (0 to 1000000000)")
        ->required();
    add_terrarium_option(app, "-s", "terrarium's world size, as terrarium reads it", chosen);
    add_terrarium_option(app, "-r", "terrarium's roughness, as terrarium reads it", chosen);
    add_terrarium_option(app, "-g", "terrarium's grid exponent, as terrarium reads it", chosen);
    auto save_at = [chosen](const std::vector<std::string> &words) {
        if (words.size() != 2)
            throw CLI::ValidationError("--save-at takes N and FILE", CLI::ExitCodes::ValidationError);
        if (!read_number(words[0].c_str(), 0, 1000000000L, &chosen->save.at))
            throw CLI::ValidationError("bad value for --save-at: " + words[0], CLI::ExitCodes::ValidationError);
        chosen->save.path = words[1];
    };
    app.add_option_function<std::vector<std::string>>("--save-at", save_at,
                                                      "Save the world to FILE after N passes (0 to --passes)")
        ->expected(1, 2)  // one word is refused above: the help shows "N FILE" without a count
        ->type_name("N FILE");
    app.add_option("--resume", chosen->resume_path, "Run on from the world saved in FILE; --passes counts from it")
        ->type_name("FILE");
    app.add_option("--log", chosen->log_path, "Write the run's log to FILE")->type_name("FILE");
    tools::add_number(app, "--every", &chosen->every, 1, 1000000000L,
                      "Log every N-th pass's row, the first and last always (1 to 1000000000, default 1)");
    app.add_option("--lineage", chosen->lineage_path, "Write the run's genealogy to FILE (.zst: compressed)")
        ->type_name("FILE");
}

// What the options read do not allow together: "" or the line to refuse.
std::string mismatch(const CLI::App &app, const arguments &chosen)
{
    const bool resuming = !chosen.resume_path.empty();
    for (const char *name : new_world_options) {
        const bool given = app.get_option(name)->count() > 0;
        if (!resuming && !given && name[1] == '-')
            return std::string(name) + " is required";
        if (resuming && given && std::string(name) != "--program")
            return std::string(name) + " is not wanted with --resume: the file holds the world";
    }
    if (chosen.save.at > chosen.passes)
        return "--save-at " + std::to_string(chosen.save.at) + " is beyond --passes " + std::to_string(chosen.passes);
    return "";
}

// The world to run, made with its options, and its rules; no world after
// a refusal in *status.
std::unique_ptr<common::world_base> chosen_world(const arguments &chosen, const common::rules **rules, int *status)
{
    *rules = tools::program_named(chosen.program);
    if (*rules != &terrarium::world_rules) {
        if (chosen.terrarium_options.empty())
            return (*rules)->new_world();
        *status = tools::refuse("simdump", std::string((*rules)->name) + " takes no -s, -r or -g", usage);
        return nullptr;
    }
    std::vector<const char *> argv{"terrarium"};
    for (const std::string &word : chosen.terrarium_options)
        argv.push_back(word.c_str());
    terrarium::options options;
    const char *message = nullptr;
    if (terrarium::parse_options(static_cast<int>(argv.size()), argv.data(), &options, &message) != 0) {
        *status = tools::refuse("simdump", std::string(message, std::strlen(message) - 1), usage);
        return nullptr;
    }
    return std::make_unique<terrarium::world>(options);
}

// The world saved in the file to resume, and its rules; no world after a
// refusal in *status: a bad file (its line, EXIT_BAD_WORLD_FILE or
// EXIT_WORLD_TOO_LARGE), or --program naming the other program (a bad
// command line).
std::unique_ptr<common::world_base> resumed_world(const arguments &chosen, const common::rules **rules,
                                                  common::run_state *run, int *status)
{
    tools::saved_world saved;
    std::string why;
    *status = tools::read_saved_world(chosen.resume_path, &saved, &why);
    if (*status != 0) {
        std::fprintf(stderr, "simdump: %s\n", common::printable(why).c_str());
        return nullptr;
    }
    if (!chosen.program.empty() && chosen.program != saved.header.program) {
        *status = tools::refuse("simdump",
                                "--program " + chosen.program + ": '" + chosen.resume_path + "' holds a " +
                                    saved.header.program + " world",
                                usage);
        return nullptr;
    }
    *rules = saved.program;
    *run = saved.run;
    return std::move(saved.world);
}

}  // namespace

int main(int argc, char *argv[])
{
    if (!common::open_standard_streams())
        return 1;
    CLI::App app{"Runs terrarium's or vivarium's world without a terminal and prints it.", "simdump"};
    tools::set_up(app);
    arguments chosen;
    add_options(app, &chosen);
    int status = tools::parse(app, argc, argv, usage);
    const std::string refused = status < 0 ? mismatch(app, chosen) : "";
    if (!refused.empty())
        status = tools::refuse("simdump", refused, usage);
    if (status >= 0)
        return common::close_standard_output("simdump") || status != 0 ? status : 1;
    const common::rules *rules = nullptr;
    common::run_state run;
    const bool resuming = !chosen.resume_path.empty();
    std::unique_ptr<common::world_base> world =
        resuming ? resumed_world(chosen, &rules, &run, &status) : chosen_world(chosen, &rules, &status);
    if (world == nullptr)
        return status;
    unsigned seed = static_cast<unsigned>(chosen.seed);
    common::run_description described = rules->describe(*world);
    if (resuming)
        described.resumed = common::resumed_from(chosen.resume_path, world->passes);
    common::run_log log;
    if (!chosen.log_path.empty() && !log.open(chosen.log_path.c_str(), described, seed)) {
        std::fprintf(stderr, "simdump: cannot open '%s': %s\n", common::printable(chosen.log_path).c_str(),
                     std::strerror(errno));
        return 1;
    }
    log.thin_to(chosen.every);
    common::lineage genealogy;
    if (!chosen.lineage_path.empty()) {
        if (!genealogy.open(chosen.lineage_path.c_str(), described, seed)) {
            std::fprintf(stderr, "simdump: cannot open '%s': %s\n", common::printable(chosen.lineage_path).c_str(),
                         std::strerror(errno));
            return 1;
        }
        genealogy.watch(*world);
    }
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    common::run_log *logged = chosen.log_path.empty() ? nullptr : &log;
    status = resuming ? common::resume_headless(*world, *rules, run, chosen.passes, stdout, chosen.save, logged)
                      : common::run_headless(*world, *rules, seed, static_cast<int>(chosen.lines),
                                             static_cast<int>(chosen.cols), chosen.passes, stdout, chosen.save, logged);
    std::string complaint;
    status = genealogy.end(status, &complaint);
    std::fputs(complaint.c_str(), stderr);
    if (!common::close_standard_output("simdump") && status == 0)
        status = 1;
    return status;
}

#include "screen/startup.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "screen/autosave.h"
#include "screen/colour.h"
#include "screen/kb.h"
#include "screen/loop.h"
#include "screen/term.h"
#include "common/text.h"
#include "storage/world_file.h"
#include "storage/run_log.h"

namespace common {

namespace {

// PROGRAM_WHAT: the program's name in capitals, then the setting's.
std::string variable(const char *program, const char *what)
{
    std::string name;
    for (const char *p = program; *p != '\0'; p++)
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return name + "_" + what;
}

unsigned seed_from_environment(const char *program)
{
    std::string name = variable(program, "SEED");
    const char *text = std::getenv(name.c_str());
    if (text == nullptr)
        return static_cast<unsigned>(std::time(nullptr));
    unsigned seed = 0;
    if (!parse_seed(text, &seed))
        stop_with(EXIT_BAD_ENVIRONMENT,
                  text_of("%s: %s must be a number from 0 to 4294967295\n", program, name.c_str()).c_str());
    return seed;
}

// PROGRAM_LOG_EVERY: the log's step in passes, 1 when unset.
long log_step_from_environment(const char *program)
{
    std::string name = variable(program, "LOG_EVERY");
    const char *text = std::getenv(name.c_str());
    unsigned every = 1;
    if (text != nullptr && (!parse_seed(text, &every) || every < 1 || every > 1000000000))
        stop_with(EXIT_BAD_ENVIRONMENT,
                  text_of("%s: %s must be a number from 1 to 1000000000\n", program, name.c_str()).c_str());
    return every;
}

// A file that the variable `name` asks for and that could not be opened
// (errno says why): status 12, with one line naming both.
[[noreturn]] void refuse_unopened(const char *program, const std::string &name, const char *path)
{
    stop_with(EXIT_BAD_ENVIRONMENT, text_of("%s: %s: cannot open '%s': %s\n", program, name.c_str(),
                                            printable(path).c_str(), std::strerror(errno))
                                        .c_str());
}

// The session's log, when the environment asks for one: it watches the
// world from now on, and every way out finishes it.
void log_from_environment(run_log &log, world_base &w, const run_description &run, unsigned seed)
{
    long every = log_step_from_environment(run.program);
    std::string name = variable(run.program, "LOG");
    const char *path = std::getenv(name.c_str());
    if (path == nullptr)
        return;
    if (!log.open(path, run, seed, std::string(run.program) + ": " + name))
        refuse_unopened(run.program, name, path);
    log.thin_to(every);
    way_out.log = &log;
    log.watch(w);
}

// The session's genealogy, when the environment asks for one: as the log.
void lineage_from_environment(lineage &genealogy, world_base &w, const run_description &run, unsigned seed)
{
    std::string name = variable(run.program, "LINEAGE");
    const char *path = std::getenv(name.c_str());
    if (path == nullptr)
        return;
    if (!genealogy.open(path, run, seed, std::string(run.program) + ": " + name))
        refuse_unopened(run.program, name, path);
    way_out.lineage = &genealogy;
    genealogy.watch(w);
}

void open_keyboard(const rules &r)
{
    if (!init_kb())
        stop_with(EXIT_NO_TERMINAL, (std::string(r.name) + ": cannot put the terminal into raw mode\n").c_str());
}

// The end of a program whose world was refused or has ended, or whose
// user quit (running): the outcome's status and message.
[[noreturn]] void stop_with_outcome(const world_base &w)
{
    stop_with(exit_status(w.outcome), w.outcome == outcome::running ? nullptr : w.outcome_message.c_str());
}

// Start-up goes on only with a world that `step` did not refuse.
void go_on_after(outcome step, const world_base &w)
{
    if (step != outcome::running)
        stop_with_outcome(w);
}

void open_view(const world_base &w, map_view &view)
{
    if (!view.open(w.map))
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    wclear(stdscr);
}

}  // namespace

void start_up(world_base &w, const rules &r, map_view &view, run_log &log, lineage *genealogy)
{
    unsigned seed = seed_from_environment(r.name);
    log_from_environment(log, w, r.describe(w), seed);
    if (genealogy != nullptr)
        lineage_from_environment(*genealogy, w, r.describe(w), seed);
    open_terminal(r.name);
    set_up_colour(variable(r.name, "COLOR").c_str(), view.colours);
    go_on_after(size_world(w, r, LINES, COLS), w);
    open_keyboard(r);
    go_on_after(w.open(seed), w);
    open_view(w, view);
    go_on_after(start_world(w, r), w);
    log.census_from(r.census);
}

void resume(session &s, const char *path)
{
    world_base &w = s.world;
    const rules &r = s.running.world_rules;
    run_state run;
    std::string why;
    int status = load_world(path, w, r, &run, &why);
    if (status != 0)
        stop_with(status, text_of("%s: %s\n", r.name, printable(why).c_str()).c_str());  // the name as given
    run_description described = r.describe(w);
    described.resumed = resumed_from(path, w.passes);
    log_from_environment(s.log, w, described, 0);
    lineage_from_environment(s.genealogy, w, described, 0);
    open_terminal(r.name);
    set_up_colour(variable(r.name, "COLOR").c_str(), s.view.colours);
    open_keyboard(r);
    open_view(w, s.view);
    s.log.census_from(r.census);
    s.speed = run.speed;
    // Paused in the middle of a pass, a single step was under way: it ends
    // its pass, then waits for the keys.
    s.mode = !run.paused ? run_mode::running : run.turn_pending ? run_mode::paused : run_mode::stepping;
    s.turn_pending = run.turn_pending;
    s.selection.restore(run.selected);
}

void run_session(session &s, const char *resume_path)
{
    autosave saves(s.running.world_rules.name);
    if (resume_path != nullptr)
        resume(s, resume_path);
    else
        start_up(s.world, s.running.world_rules, s.view, s.log, &s.genealogy);
    s.saves = &saves;
    saves.begin(s);
    enter_loop(s);
    main_loop(s);
    stop_with_outcome(s.world);
}

}  // namespace common

#include "screen/autosave.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "screen/loop.h"
#include "screen/popup.h"
#include "common/signals.h"
#include "screen/stop.h"
#include "common/text.h"

namespace common {

namespace {

std::string upper(const char *text)
{
    std::string name;
    for (; *text != '\0'; text++)
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
    return name;
}

// Digits with at most one point among or before them, and nothing else.
bool decimal_seconds(const char *text, double *seconds)
{
    bool digits = false, point = false;
    for (const char *p = text; *p != '\0'; p++) {
        if (std::isdigit(static_cast<unsigned char>(*p)))
            digits = true;
        else if (*p == '.' && !point)
            point = true;
        else
            return false;
    }
    if (!digits)
        return false;
    *seconds = std::strtod(text, nullptr);
    return *seconds > 0;
}

double monotonic_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// A step of a save, with memory that runs out on the way a failure like
// the others: nothing may unwind past a save, least of all in a child.
template <class Step>
bool quietly(save_file *file, const std::string &path, std::string *why, Step step)
{
    try {
        return step();
    } catch (const std::bad_alloc &) {
        abandon_save(file);
        *why = text_of("cannot save '%s': out of memory", path.c_str());
        return false;
    }
}

// The child's side: its signals as a new process has them, the world
// written, its line of why through the pipe, and out without a flush.
[[noreturn]] void write_in_child(int report, save_file *file, const world_base &w, const rules &r,
                                 const run_state &run)
{
    for_each_ending_signal([](int sig) { signal(sig, SIG_DFL); });
    signal(SIGWINCH, SIG_DFL);
    signal(SIGCONT, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    std::string why;
    bool saved = quietly(file, file->path, &why, [&] { return finish_save(file, w, r, run, &why); });
    if (!saved) {
        ssize_t ignored = write(report, why.data(), why.size());
        (void)ignored;
    }
    _exit(saved ? 0 : 1);
}

}  // namespace

bool read_save_settings(const char *program, save_settings *settings, std::string *why)
{
    std::string name = upper(program) + "_SAVE";
    *settings = save_settings();
    if (const char *path = std::getenv(name.c_str())) {
        if (*path == '\0') {
            *why = text_of("%s: %s must name a file", program, name.c_str());
            return false;
        }
        settings->path = path;
    }
    name += "_EVERY";
    const char *every = std::getenv(name.c_str());
    if (every != nullptr && !decimal_seconds(every, &settings->every)) {
        *why = text_of("%s: %s must be a positive number of seconds", program, name.c_str());
        return false;
    }
    return true;
}

bool start_background_save(background_save *save, const std::string &path, const world_base &w, const rules &r,
                           const run_state &run, std::string *why, bool replace)
{
    save_file file;
    if (!quietly(&file, path, why, [&] { return begin_save(path, replace, w, r, &file, why); }))
        return false;
    int pipe_ends[2];
    pid_t child = -1;
    if (pipe2(pipe_ends, O_CLOEXEC) == 0 && (child = fork()) < 0) {
        int error = errno;
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        errno = error;
    }
    if (child < 0) {
        *why = text_of("cannot save '%s': %s", path.c_str(), std::strerror(errno));
        abandon_save(&file);
        return false;
    }
    if (child == 0)
        write_in_child(pipe_ends[1], &file, w, r, run);
    close(pipe_ends[1]);
    close(file.fd);
    save->child = child;
    save->report = pipe_ends[0];
    save->path = path;
    save->temporary = file.temporary;
    return true;
}

save_outcome collect_background_save(background_save *save, bool wait, std::string *why)
{
    if (save->child < 0)
        return save_outcome::saved;
    int status = 0;
    pid_t ended;
    while ((ended = waitpid(save->child, &status, wait ? 0 : WNOHANG)) < 0 && errno == EINTR) {
    }
    if (ended == 0)
        return save_outcome::under_way;
    std::string line;
    char bytes[256];
    ssize_t n;
    while ((n = read(save->report, bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            line.append(bytes, static_cast<size_t>(n));
    close(save->report);
    bool saved = ended > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!saved) {
        if (line.empty())
            line = WIFSIGNALED(status) ? text_of("cannot save '%s': the saving process died of signal %d", save->path.c_str(),
                                                 WTERMSIG(status))
                                       : text_of("cannot save '%s'", save->path.c_str());
        *why = line;
        // A child that died cannot have removed it.
        ::unlink(save->temporary.c_str());
    }
    *save = background_save();
    return saved ? save_outcome::saved : save_outcome::failed;
}

void cancel_background_save(background_save *save)
{
    if (save->child < 0)
        return;
    std::string ignored;
    kill(save->child, SIGKILL);
    collect_background_save(save, true, &ignored);
}

bool free_file_name(const char *program, long passes, std::string *path, std::string *why)
{
    struct stat there {};
    for (int n = 1; n < 1000; n++) {
        *path = n == 1 ? text_of("%s-%ld.world", program, passes) : text_of("%s-%ld-%d.world", program, passes, n);
        if (lstat(path->c_str(), &there) == 0)
            continue;
        if (errno == ENOENT)
            return true;
        *why = text_of("cannot save '%s': %s", path->c_str(), std::strerror(errno));
        return false;
    }
    *why = text_of("cannot save '%s': every name up to it is taken", path->c_str());
    return false;
}

autosave::autosave(const char *program) : program_(program)
{
    std::string why;
    if (!read_save_settings(program, &settings_, &why))
        stop_with(EXIT_BAD_ENVIRONMENT, (why + "\n").c_str());
}

autosave::~autosave()
{
    if (way_out.saves == this)
        way_out.saves = nullptr;
    cancel_background_save(&under_way_);
}

void autosave::begin(session &s)
{
    session_ = &s;
    next_due_ = monotonic_seconds() + settings_.every;
    way_out.saves = this;
    if (!settings_.path.empty())
        defer_hangup_and_terminate();
}

run_state autosave::state_of(const session &s) const
{
    return run_state{s.speed, s.mode != run_mode::running, s.turn_pending, s.selection.cells()};
}

namespace {

// The reason alone, for the status line: what follows the file's name
// ("cannot save 'x.world': No space left on device").
std::string reason_of(const std::string &why)
{
    size_t end = why.find("': ");
    return end == std::string::npos ? why : why.substr(end + 3);
}

}  // namespace

void autosave::failed(session &s, const std::string &why, bool asked)
{
    failure_ = why;
    s.notice = "save failed: " + reason_of(why);
    if (asked)
        dopopup(s.notice.c_str(), 2);
}

void autosave::told(session &s, save_outcome outcome, const std::string &why)
{
    bool asked = asked_;
    asked_ = false;
    if (outcome == save_outcome::failed) {
        failed(s, why, asked);
        return;
    }
    failure_.clear();
    s.notice.clear();
    if (asked)
        dopopup(("saved " + why).c_str(), 2);
}

void autosave::at_safe_point(session &s)
{
    if (int sig = deferred_signal())
        stop_by_signal(sig);
    if (under_way_.child >= 0) {
        std::string path = under_way_.path, why;
        save_outcome outcome = collect_background_save(&under_way_, false, &why);
        if (outcome != save_outcome::under_way)
            told(s, outcome, outcome == save_outcome::saved ? path : why);
    }
    if (settings_.path.empty() || monotonic_seconds() < next_due_)
        return;
    // A save still under way when the next is due: that one is skipped.
    next_due_ = monotonic_seconds() + settings_.every;
    std::string why;
    if (under_way_.child < 0 && !start_background_save(&under_way_, settings_.path, s.world,
                                                       s.running.world_rules, state_of(s), &why))
        failed(s, why, false);
}

void autosave::save_now(session &s)
{
    if (under_way_.child >= 0) {
        dopopup(("still saving " + under_way_.path).c_str(), 1);
        return;
    }
    std::string path = settings_.path, why;
    bool named = !path.empty();
    if ((!named && !free_file_name(program_, s.world.passes, &path, &why)) ||
        !start_background_save(&under_way_, path, s.world, s.running.world_rules, state_of(s), &why, named)) {
        failed(s, why, true);
        return;
    }
    asked_ = true;
}

int autosave::say(int status, std::string *complaint)
{
    save_at_end(complaint);
    return status;
}

void autosave::save_at_end(std::string *complaint)
{
    if (session_ == nullptr)
        return;
    std::string why;
    if (!settings_.path.empty()) {
        cancel_background_save(&under_way_);
        const std::string &path = settings_.path;
        const world_base &w = session_->world;
        const rules &r = session_->running.world_rules;
        const run_state run = state_of(*session_);
        save_file file;
        if (quietly(&file, path, &why,
                    [&] { return begin_save(path, true, w, r, &file, &why) && finish_save(&file, w, r, run, &why); }))
            failure_.clear();
        else
            failure_ = why;
    } else if (collect_background_save(&under_way_, true, &why) == save_outcome::failed) {
        failure_ = why;
    }
    if (!failure_.empty())
        *complaint += text_of("%s: %s\n", program_, printable(failure_).c_str());
    session_ = nullptr;
}

}  // namespace common

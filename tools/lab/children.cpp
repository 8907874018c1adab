#include "tools/lab/children.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

#include "common/signals.h"
#include "common/outcome.h"
#include "common/text.h"

namespace lab {

namespace {

// Changed only with every ending signal held, so the handler sees them whole.
pid_t children[MOST_CHILDREN];
char leftover[4096];  // the file to remove, NUL-terminated; empty for none

class signals_held {
public:
    signals_held()
    {
        sigset_t all = common::ending_signals();
        sigprocmask(SIG_BLOCK, &all, &before_);
    }
    ~signals_held() { sigprocmask(SIG_SETMASK, &before_, nullptr); }

private:
    sigset_t before_;
};

// Async-signal-safe only.
void kill_and_reap()
{
    for (pid_t &child : children)
        if (child > 0)
            kill(child, SIGKILL);
    for (pid_t &child : children)
        if (child > 0) {
            while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
            child = 0;
        }
}

extern "C" void on_ending_signal(int sig)
{
    kill_and_reap();
    if (leftover[0] != '\0')
        unlink(leftover);
    common::die_of(sig);
}

}  // namespace

void end_children_with_lab() { common::catch_ending_signals(on_ending_signal); }

pid_t start_child()
{
    signals_held held;
    pid_t *free = std::find(std::begin(children), std::end(children), 0);
    if (free == std::end(children)) {
        errno = EAGAIN;
        return -1;
    }
    pid_t pid = fork();
    if (pid == 0) {
        common::for_each_ending_signal([](int sig) { signal(sig, SIG_DFL); });
        std::fill(std::begin(children), std::end(children), 0);
        leftover[0] = '\0';
    } else if (pid > 0) {
        *free = pid;
    }
    return pid;
}

void child_ended(pid_t pid)
{
    signals_held held;
    std::replace(std::begin(children), std::end(children), pid, 0);
}

void kill_children()
{
    signals_held held;
    kill_and_reap();
}

void remove_on_signal(const std::string &path)
{
    signals_held held;
    size_t length = std::min(path.size(), sizeof leftover - 1);
    std::memcpy(leftover, path.data(), length);
    leftover[path.size() < sizeof leftover ? length : 0] = '\0';
}

std::string wait_status_text(int status)
{
    static const char *const endings[] = {"bad terrain", "world too small", "world too large", "lost bug",
                                          "no terminal", "bad environment"};
    if (WIFSIGNALED(status))
        return common::text_of("killed by signal %d", WTERMSIG(status));
    int code = WEXITSTATUS(status);
    if (code >= common::EXIT_BAD_TERRAIN && code <= common::EXIT_BAD_ENVIRONMENT)
        return common::text_of("exit %d (%s)", code, endings[code - common::EXIT_BAD_TERRAIN]);
    return common::text_of("exit %d", code);
}

bool write_all(int fd, const std::string &text)
{
    for (size_t done = 0; done < text.size();) {
        ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno != EINTR)
            return false;
        done += static_cast<size_t>(std::max<ssize_t>(wrote, 0));
    }
    return true;
}

int open_file(const char *path, int flags, mode_t mode)
{
    int fd = open(path, flags | O_CLOEXEC, mode);
    if (fd < 0 || fd > 2)
        return fd;
    int above = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    int error = errno;
    close(fd);
    errno = error;
    return above;
}

int open_regular(const std::string &path, std::string *why)
{
    int fd = open_file(path.c_str(), O_RDONLY | O_NONBLOCK);
    struct stat about {};
    if (fd >= 0 && fstat(fd, &about) == 0 && S_ISREG(about.st_mode))
        return fd;
    int error = fd < 0 ? errno : 0;
    *why = path + (fd < 0 ? ": cannot be read: " + std::string(std::strerror(error)) : ": not a regular file");
    if (fd >= 0)
        close(fd);
    errno = error;
    return -1;
}

void complain(const std::string &why) { std::fprintf(stderr, "terrarium-lab: %s\n", common::printable(why).c_str()); }

}  // namespace lab

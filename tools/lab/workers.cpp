#include "tools/lab/workers.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "tools/lab/children.h"

namespace lab {

namespace {

constexpr size_t NO_JOB = SIZE_MAX;

// A worker as the lab sees it.
struct worker {
    pid_t pid;
    int fd;               // the lab's end of the worker's socket
    size_t job = NO_JOB;  // the job it was handed and has not ended
};

struct pool {
    size_t count;
    const std::function<job_end(size_t)> &work;
    const job_ended &ended;
    std::vector<worker> workers;
    size_t next = 0;  // the next job to hand out
    int bad_ends = 0;
};

// In the worker: the jobs as the lab hands them, until it has none left.
// std::exit at the end, so that a leak checker sees every job's memory
// given back; the lab's buffered output was flushed before the fork.
[[noreturn]] void work_on(int fd, const std::function<job_end(size_t)> &work)
{
    int nowhere = open("/dev/null", O_RDWR);
    if (nowhere < 0 || dup2(nowhere, 1) < 0 || dup2(nowhere, 2) < 0)
        _exit(1);
    if (nowhere > 2)
        close(nowhere);
    uint64_t job = 0;
    while (recv(fd, &job, sizeof job, 0) == sizeof job) {
        job_end end = work(static_cast<size_t>(job));
        if (write(fd, &end, sizeof end) != sizeof end)
            _exit(1);
    }
    std::exit(0);
}

// The next job to `w`; when none is left, word that the worker may end.
void hand(pool &p, worker &w)
{
    if (p.next == p.count) {
        shutdown(w.fd, SHUT_WR);
        return;
    }
    w.job = p.next++;
    uint64_t job = w.job;
    // A worker that died meanwhile is heard of at its socket's end, and
    // the job it was handed ends with it.
    send(w.fd, &job, sizeof job, MSG_NOSIGNAL);
}

// A new worker, handed the next job; false, said, when none can be had.
bool start(pool &p)
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        std::perror("terrarium-lab: socketpair");
        return false;
    }
    std::fflush(nullptr);
    pid_t pid = start_child();
    if (pid == 0) {
        // Only the lab holds its ends, so that every worker sees it go.
        for (const worker &w : p.workers)
            close(w.fd);
        close(ends[0]);
        work_on(ends[1], p.work);
    }
    if (pid < 0)
        std::perror("terrarium-lab: fork");
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return false;
    }
    p.workers.push_back({pid, ends[0]});
    hand(p, p.workers.back());
    return true;
}

// Worker i's socket has ended: the worker is reaped, the job it was on
// ends with it, and another takes its place while jobs are left.
bool reap(pool &p, size_t i)
{
    worker w = p.workers[i];
    p.workers.erase(p.workers.begin() + static_cast<long>(i));
    close(w.fd);
    int status = 0;
    while (waitpid(w.pid, &status, 0) < 0)
        if (errno != EINTR) {
            std::perror("terrarium-lab: wait");
            return false;
        }
    child_ended(w.pid);
    if (w.job != NO_JOB) {
        p.ended(w.job, status, 0);
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        complain("a worker ended: " + wait_status_text(status));
        p.bad_ends++;
    }
    return p.next == p.count || start(p);
}

// What worker i says: the end of its job, and it is handed the next; or,
// at the end of its socket, its own end.
bool hear(pool &p, size_t i)
{
    worker &w = p.workers[i];
    job_end end{};
    ssize_t got = recv(w.fd, &end, sizeof end, 0);
    if (got < 0 && errno == EINTR)
        return true;
    if (got != static_cast<ssize_t>(sizeof end) || w.job == NO_JOB)
        return reap(p, i);
    size_t job = std::exchange(w.job, NO_JOB);
    hand(p, w);
    p.ended(job, W_EXITCODE(end.status, 0), end.error);
    return true;
}

}  // namespace

int run_in_workers(size_t count, int most, const std::function<job_end(size_t)> &work, const job_ended &ended)
{
    pool p{count, work, ended, {}};
    bool whole = true;
    while (whole && p.workers.size() < std::min(count, static_cast<size_t>(most)))
        whole = start(p);
    while (whole && !p.workers.empty()) {
        std::vector<pollfd> heard;
        for (const worker &w : p.workers)
            heard.push_back({w.fd, POLLIN, 0});
        if (poll(heard.data(), heard.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            std::perror("terrarium-lab: poll");
            whole = false;
        }
        // From the last: a worker reaped leaves the places before it as they were.
        for (size_t i = heard.size(); whole && i-- > 0;)
            if (heard[i].revents != 0)
                whole = hear(p, i);
    }
    if (whole)
        return p.bad_ends;
    kill_children();
    for (const worker &w : p.workers)
        close(w.fd);
    return -1;
}

}  // namespace lab

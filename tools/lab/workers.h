// The lab's worker processes: forked only to run jobs side by side, each
// runs the jobs it is handed one after another and tells the lab how
// each ended.
#pragma once

#include <cstddef>
#include <functional>

namespace lab {

// How a job ended, as its worker tells it: the status it would have exited
// with, and an errno for the lab to say why it failed (0 for none).
struct job_end {
    int status;
    int error;
};

// What the lab is told of each job as it ends: the job, the wait status of
// a process that ran it alone (W_EXITCODE of its status), and its errno.
// The job a worker was on when the worker died ends with the worker's own
// wait status, error 0.
using job_ended = std::function<void(size_t job, int wait_status, int error)>;

// Runs jobs 0 to count - 1 with `work`, in at most `most` workers at once,
// handing each job to the next worker free; a worker that dies is
// replaced while jobs are left. A worker's standard output and error are
// /dev/null: it speaks to the lab only through what its jobs return.
// Returns -1 when a worker cannot be had or the workers cannot be heard
// (said on the error stream, every worker killed); otherwise the number of
// workers that ended badly between jobs, each named on the error stream.
int run_in_workers(size_t count, int most, const std::function<job_end(size_t)> &work, const job_ended &ended);

}  // namespace lab

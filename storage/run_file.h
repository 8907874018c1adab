// A file that a run writes as it goes, its log or its genealogy: created
// or emptied at the start and written with write(2). A write that fails (a
// full disk, a pipe without a reader, the file size limit) ends the file
// there, without a signal and without ending the run; its error is told
// once, at the run's end.
#pragma once

#include <csignal>
#include <string>

namespace common {

// Holds off every signal while a file and what is gathered for it change
// together: a handler never writes the same bytes twice, and the signal of
// a failed write is taken back rather than raised.
class signals_held {
public:
    signals_held();
    ~signals_held();
    signals_held(const signals_held &) = delete;
    signals_held &operator=(const signals_held &) = delete;

private:
    sigset_t before_;
};

class run_file {
public:
    bool is_open() const { return fd_ >= 0; }

protected:
    run_file() = default;
    ~run_file() { close_file(); }
    run_file(const run_file &) = delete;
    run_file &operator=(const run_file &) = delete;

    // Creates (or empties) the file at `path`, named by `who` in the
    // complaint. False, with errno set, when it cannot be opened.
    bool create(const char *path, const std::string &who);

    // Every byte, or the file ends where the write failed, its error kept.
    // Async-signal-safe; hold the signals around it (signals_held).
    void write_all(const char *bytes, size_t length);

    void close_file();

    // The error of the write that ended the file (0 for none), forgotten.
    int take_error();

    // The status to exit with for a run ending with `status` whose file
    // met `error`: EXIT_BAD_ENVIRONMENT instead of 0, after adding a line
    // to `complaint`: "WHO: cannot write 'FILE': reason".
    int complain(int status, int error, std::string *complaint) const;

    int fd_ = -1;
    std::string path_;
    int write_error_ = 0;  // errno of the write that ended the file

private:
    std::string who_;
};

}  // namespace common

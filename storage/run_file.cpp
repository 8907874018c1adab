#include "storage/run_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include "common/outcome.h"
#include "common/signals.h"
#include "common/text.h"

namespace common {

signals_held::signals_held()
{
    sigset_t all;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &before_);
}

signals_held::~signals_held() { sigprocmask(SIG_SETMASK, &before_, nullptr); }

bool run_file::create(const char *path, const std::string &who)
{
    close_file();
    fd_ = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    path_ = path;
    who_ = who;
    write_error_ = 0;
    return fd_ >= 0;
}

void run_file::write_all(const char *bytes, size_t length)
{
    while (length > 0 && fd_ >= 0) {
        ssize_t written = write(fd_, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            write_error_ = written < 0 ? errno : EIO;
            take_back_signal_of(write_error_);
            close(fd_);
            fd_ = -1;
            return;
        }
        bytes += written;
        length -= static_cast<size_t>(written);
    }
}

void run_file::close_file()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

int run_file::take_error() { return std::exchange(write_error_, 0); }

int run_file::complain(int status, int error, std::string *complaint) const
{
    if (error == 0)
        return status;
    *complaint += text_of("%s: cannot write '%s': %s\n", who_.c_str(), printable(path_).c_str(), std::strerror(error));
    return status == 0 ? EXIT_BAD_ENVIRONMENT : status;
}

}  // namespace common

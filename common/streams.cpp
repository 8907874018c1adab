#include "common/streams.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace common {

bool open_standard_streams()
{
    for (int fd = 0; fd <= 2; fd++) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor: this one, as those below are open.
        if (open("/dev/null", O_RDWR) != fd)
            return false;
    }
    return true;
}

bool close_standard_output(const char *program)
{
    errno = 0;
    bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
    int error = errno;
    if (std::fclose(stdout) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written)
        std::fprintf(stderr, "%s: cannot write the standard output: %s\n", program,
                     std::strerror(error != 0 ? error : EIO));
    return written;
}

}  // namespace common

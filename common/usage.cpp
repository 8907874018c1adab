#include "common/usage.h"

#include <cstdio>
#include <cstring>

#include "common/streams.h"

namespace common {

request request_of(const char *argument)
{
    if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0)
        return request::help;
    if (std::strcmp(argument, "--version") == 0)
        return request::version;
    return request::run;
}

int answer(request asked, const char *program, const char *usage)
{
    if (asked == request::version)
        std::printf("%s %s\n", program, program_version());
    else
        std::fputs(usage, stdout);
    return close_standard_output(program) ? 0 : 1;
}

const char *program_version() { return PROGRAM_VERSION; }

}  // namespace common

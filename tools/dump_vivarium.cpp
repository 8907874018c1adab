#include <cstdio>

#include "tools/dump.h"

int dump_vivarium(const dump_request &, std::FILE *)
{
    std::fputs("simdump: vivarium is not built yet\n", stderr);
    return 1;
}

#include "tools/dump.h"

int dump_terrarium(const dump_request &request, std::FILE *out);
int dump_vivarium(const dump_request &request, std::FILE *out);

int run_dump(const dump_request &request, std::FILE *out)
{
    if (request.program == "vivarium")
        return dump_vivarium(request, out);
    return dump_terrarium(request, out);
}

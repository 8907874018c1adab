#include "common/world_file.h"

namespace common {

bool save_world(const std::string &, const world_base &, const rules &, const run_state &, std::string *why)
{
    *why = "saving is not built yet";
    return false;
}

int load_world(const std::string &path, world_base &, const rules &, run_state *, std::string *why)
{
    *why = "'" + path + "': reading is not built yet";
    return EXIT_BAD_WORLD_FILE;
}

int load_world_bytes(const std::string &, const std::string &name, world_base &, const rules &, run_state *,
                     std::string *why)
{
    *why = "'" + name + "': reading is not built yet";
    return EXIT_BAD_WORLD_FILE;
}

int read_world_header(const std::string &path, world_header *, std::string *why)
{
    *why = "'" + path + "': reading is not built yet";
    return EXIT_BAD_WORLD_FILE;
}

}  // namespace common

#include "tools/saved_world.h"

#include "tools/programs.h"

namespace tools {

int read_saved_world(const std::string &path, saved_world *saved, std::string *why)
{
    int status = common::read_world_header(path, &saved->header, why);
    if (status != 0)
        return status;
    // The header, once read, names one of the programs.
    saved->program = program_named(saved->header.program);
    saved->world = saved->program->new_world();
    status = common::load_world(path, *saved->world, *saved->program, &saved->run, why);
    if (status != 0)
        saved->world.reset();
    return status;
}

}  // namespace tools

#include "tools/saved_world.h"

#include "terrarium/rules.h"
#include "vivarium/rules.h"

namespace tools {

int read_saved_world(const std::string &path, saved_world *saved, std::string *why)
{
    int status = common::read_world_header(path, &saved->header, why);
    if (status != 0)
        return status;
    // The header names a program that load_world checks again: a world of
    // any other is refused there.
    if (saved->header.program == "vivarium") {
        saved->program = &vivarium::world_rules;
        saved->world = std::make_unique<vivarium::world>();
    } else {
        saved->program = &terrarium::world_rules;
        saved->world = std::make_unique<terrarium::world>();
    }
    status = common::load_world(path, *saved->world, *saved->program, &saved->run, why);
    if (status != 0)
        saved->world.reset();
    return status;
}

}  // namespace tools

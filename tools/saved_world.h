// A world file of either program, read for the tools: the header says
// whose world it holds, and the world is read for that program.
#pragma once

#include <memory>
#include <string>

#include "common/rules.h"
#include "storage/world_file.h"

namespace tools {

struct saved_world {
    common::world_header header;
    const common::rules *program = nullptr;
    std::unique_ptr<common::world_base> world;
    common::run_state run;
};

// Reads the world file at `path`, for the program its header names.
// Returns 0; or the status of its refusal (common::EXIT_BAD_WORLD_FILE,
// common::EXIT_WORLD_TOO_LARGE) with one line in *why naming the file.
int read_saved_world(const std::string &path, saved_world *saved, std::string *why);

}  // namespace tools

// Saved worlds in the lab: read whole to branch a sweep from, and shown
// by `terrarium-lab inspect`.
#pragma once

#include <memory>
#include <string>

#include "common/rules.h"
#include "common/world_file.h"

namespace lab {

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

// terrarium-lab inspect: what the file's header says and the census of
// its world, on the standard output. Returns the exit status.
int inspect(const std::string &path);

}  // namespace lab

// World files: a world written to disk and read back exactly, so that a
// run can be resumed, moved to another machine or branched.
//
// A file is a small fixed header (see docs/world-file.md), then the world
// as one zstd frame with its content checksum. Every field is fixed-width
// little-endian. Writing goes to a temporary file in the same directory,
// which is flushed to disk and renamed over the old file, and the
// directory is flushed: at any moment the old or the new file is whole.
// Reading checks every count against the header and the file's length
// before it allocates, and every value a rule would index with, so a
// damaged file is refused, never believed.
#pragma once

#include <cstdint>
#include <string>

#include "common/rules.h"
#include "common/stop.h"
#include "common/world.h"

namespace common {

constexpr uint32_t WORLD_FORMAT_VERSION = 1;

// How a session was running the world when it was saved: it goes on the
// same way when resumed.
struct run_state {
    int speed = 1;              // microseconds slept at each pass boundary
    bool paused = false;        // paused or single-stepping
    // Saved after a pass boundary's work and before the next turn (from
    // the keys, which are read there), rather than before the boundary:
    // the run resumes with that turn.
    bool turn_pending = false;
};

// What the header of a world file says.
struct world_header {
    std::string program;        // "terrarium" or "vivarium"
    uint32_t version = 0;       // the format's version
    int rows = 0, cols = 0;     // the map's size
    long passes = 0;
    long long population = 0;   // bugs in the ring
    uint64_t body_bytes = 0;    // the compressed world after the header
    uint64_t world_bytes = 0;   // the world uncompressed
};

// Writes `w`, run by `r` as `run` says, to `path` safely (above). False
// with one line in *why when it could not: the old file, if any, is then
// as it was. Nothing else is left behind but, after a kill -9, a
// temporary file named after `path` (".path.tmp-PID").
bool save_world(const std::string &path, const world_base &w, const rules &r, const run_state &run,
                std::string *why);

// The world of the file at `path` into `w`, a new world of `r`'s program
// that was never opened or started; how it was run into *run. Returns 0;
// or EXIT_BAD_WORLD_FILE, or EXIT_WORLD_TOO_LARGE when its memory cannot
// be had, with one line in *why that names the file and the reason
// ("'x.world': not a world file"). After a refusal `w` is to be thrown
// away.
int load_world(const std::string &path, world_base &w, const rules &r, run_state *run, std::string *why);

// As load_world, from the bytes of a file; `name` names it in *why.
int load_world_bytes(const std::string &bytes, const std::string &name, world_base &w, const rules &r,
                     run_state *run, std::string *why);

// The header alone, checked as load_world checks it (not the body):
// 0, or EXIT_BAD_WORLD_FILE with one line in *why.
int read_world_header(const std::string &path, world_header *header, std::string *why);

}  // namespace common

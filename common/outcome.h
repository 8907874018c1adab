// The exit statuses of both programs, and how a world stands: running, or
// ended or refused by a rule. A rule never ends the process: it records
// the world's outcome, and only the programs and the tools turn that into
// a message and an exit status.
#pragma once

#include <string>

namespace common {

// Every status but 0 (the quit key, a run that ended by itself, an answer
// to -h or --version) and death by a signal.
enum exit_status {
    EXIT_TOO_MANY_ARGS = 2,
    EXIT_BAD_WORLD_SIZE = 3,
    EXIT_BAD_ARGS = 4,
    EXIT_BAD_ROUGHNESS = 5,
    EXIT_BAD_GRID_SIZE = 6,
    EXIT_BAD_TERRAIN = 7,
    EXIT_WORLD_TOO_SMALL = 8,
    EXIT_WORLD_TOO_LARGE = 9,
    EXIT_LOST_BUG = 10,
    EXIT_NO_TERMINAL = 11,
    EXIT_BAD_ENVIRONMENT = 12,
    EXIT_BAD_WORLD_FILE = 13,
};

// How a world stands. Refused at start-up: too small for the screen, too
// large for the memory (also when memory runs short later), too little
// open ground. Ended by its run: one bug left, none left (a world seeded
// with one), or a cell showing a bug that the ring does not hold.
enum class outcome { running, one_bug_left, no_bug_left, too_small, too_large, bad_terrain, lost_bug };

// The status a program exits with for an outcome: 0 for running (the user
// quit) and for the ends of a run by its last bug.
int exit_status(outcome o);

// Whether the world was refused before it could run: nothing of it is
// shown (a headless run dumps only the worlds that ran).
inline bool refused(outcome o) { return o == outcome::too_small || o == outcome::too_large; }

// Ends the world being run with `o` and the lines the programs print for
// it: unwinds to the start-up step, turn or run_passes running the rule,
// which records both in the world. Only for the rules, under one of those.
[[noreturn]] void end_world(outcome o, std::string message);

}  // namespace common

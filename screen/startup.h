// What start-up does alike in both programs.
#pragma once

#include "screen/map_view.h"
#include "common/rules.h"
#include "screen/stop.h"
#include "storage/lineage.h"
#include "storage/run_log.h"

namespace common {

// The program's start-up: reads the environment (PROGRAM_SEED, a seed to
// replay a world with instead of the clock's; PROGRAM_LOG, a file for the
// run's log), refusing a bad setting with EXIT_BAD_ENVIRONMENT before the
// screen opens; opens the user's terminal (refusing what cannot be one),
// with colour if PROGRAM_COLOR=1 asks for it (see set_up_colour); sizes
// the world from the screen, puts the keyboard in raw mode, opens the
// world's map with the seed and a pad as large as it in `view`, and
// starts the world. A world refused on the way ends the program with its
// outcome's status and message. A log asked for is written to `log`,
// which watches the world and is finished on every way out; so is a
// genealogy (PROGRAM_LINEAGE, a file) in `genealogy`, when given.
void start_up(world_base &w, const rules &r, map_view &view, run_log &log, lineage *genealogy = nullptr);

struct session;

// As start_up, for the session's world read from the file at `path`
// (--resume), before anything else: a refusal ends the program with
// load_world's status and its line. PROGRAM_SEED is not read; a log
// names the file instead of a seed and begins at the world's pass. The
// world keeps its size; the session runs on as it was saved.
void resume(session &s, const char *path);

// A program's run: the saves the environment asks for (refusing a bad
// setting first), the session's world read from `resume_path` when given
// (--resume) or else started anew, then the main loop. It ends only
// through stop_with: with the status and message of the world's outcome,
// when it was refused or has ended, or quietly when the user quit.
[[noreturn]] void run_session(session &s, const char *resume_path);

}  // namespace common

// Raw, byte-at-a-time keyboard on standard input, polled without blocking.
// Reads descriptor 0 directly; never uses the curses input routines. The
// terminal's settings as found are kept by the terminal module.
#pragma once

namespace common {

bool init_kb();   // raw mode from the current settings; false if it could not be set
int close_kb();   // give the terminal back the user's saved settings (0 when done)
int kb_hit();     // 1 when a key is waiting, 0 when none; never blocks
int read_kb();    // the waiting key as a signed char value; blocks if none

}  // namespace common

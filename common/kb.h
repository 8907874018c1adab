// Raw, byte-at-a-time keyboard on standard input, polled without blocking.
// Reads descriptor 0 directly; never uses the curses input routines.
#pragma once

void init_kb();   // save the terminal's attributes and switch to raw mode
int close_kb();   // give the terminal back the saved attributes
int kb_hit();     // 1 when a key is waiting, 0 when none; never blocks
int read_kb();    // the waiting key as a signed char value; blocks if none
bool kb_active(); // between init_kb and close_kb

// The per-race statistics screen.
#pragma once

namespace terrarium {

// Draws the statistics of the living bugs into stdscr (no refresh).
void stat();

}  // namespace terrarium

// Hand-made vivarium worlds for unit tests: a blank pad of any size on a
// null terminal, bugs placed by hand, glyphs read back, seeded worlds run
// pass by pass.
#pragma once

#include <string>

#include "vivarium/globals.h"

namespace vivarium_test {

// Frees any earlier world and makes a blank rows x cols pad with no bugs
// and a population of 0, on a null screen of lines x cols (by default
// 24 x 80), with the main loop's state at its start values.
void blank_world(int rows, int cols, int lines = 24, int cols_on_screen = 80);

// A bug with the given cell, race and facing, size 10, food 1000, age 0,
// gen 1 and every gene REST, linked into the ring after the last one added
// and counted in the population; the first one added becomes `bugs`, and
// every bug pointer starts on it. Not drawn.
vivarium::bug *add_bug(int y, int x, char race, int vector = 0);

void put(int row, int col, char glyph);
char at(int row, int col);

// Checks the ring: next/prev consistent, every bug on the map; returns the
// number of bugs, or -1 when it is broken.
int ring_size();

// Builds a world the way the program does, with the given seed and screen
// size, and enters the main loop state.
void seeded_world(unsigned seed, int lines = 24, int cols = 80);

// Runs the main loop without keys until `passes` more pass boundaries have
// been reached; `at_boundary` (if any) is called at each of them first.
void run_passes(long passes, void (*at_boundary)() = nullptr);

}  // namespace vivarium_test

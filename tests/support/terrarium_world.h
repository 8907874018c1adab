// Hand-made terrarium worlds for unit tests: a blank pad of any size on a
// null terminal, bugs placed by hand, glyphs read back.
#pragma once

#include <string>
#include <vector>

#include "terrarium/globals.h"

namespace terrarium_test {

// Frees any earlier world and makes a blank rows x cols pad with no bugs,
// on a null screen of lines x cols (by default 24 x 80).
void blank_world(int rows, int cols, int lines = 24, int cols_on_screen = 80);

// A bug as seeding makes one (motive 5 for letters, 15 for '@'), with the
// given cell, race and facing, size 10, vision 5, food 1000 and every gene
// REST, linked into the ring after the last one added; the first one
// added becomes `bugs`, and every bug pointer starts on it.
terrarium::bug *add_bug(int y, int x, char race, int vector = 0);

void put(int row, int col, char glyph);
char at(int row, int col);
std::string row_text(int row);

// Checks the ring: next/prev consistent, every bug on the map; returns the
// number of bugs, or -1 when it is broken.
int ring_size();

// Sets the world's options as the command line would (they must be good).
void options(std::vector<const char *> args);

// Builds a world the way the program does, with the given seed, options
// (already parsed) and screen size, and enters the main loop state.
void seeded_world(unsigned seed, int lines = 24, int cols = 80);

// Runs the main loop without keys until `passes` more pass boundaries have
// been reached.
void run_passes(long passes);

}  // namespace terrarium_test

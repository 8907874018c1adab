// The standard streams at both ends of a process: open at its start, so
// that nothing it opens takes their place, and written out in full at its
// end, or the exit status says that they were not.
#pragma once

namespace common {

// Opens /dev/null on whichever of descriptors 0, 1 and 2 is closed, so
// that a file opened later never becomes standard input, output or error.
// Call it first thing in main, which exits with status 1 when it returns
// false: even /dev/null could not be opened.
bool open_standard_streams();

// Writes out and closes standard output. False, after one line naming the
// stream on standard error, when any of it could not be written.
bool close_standard_output(const char *program);

}  // namespace common

// What a command line may ask for besides a run: the usage text or the
// version, answered on standard output before any terminal is opened.
#pragma once

namespace common {

enum class request { run, help, version };

// What one argument asks for: -h and --help the usage text, --version the
// version; anything else, a run.
request request_of(const char *argument);

// Prints the usage text, or "<program> <version>", on standard output.
// Returns the exit status: 0, or 1 when the output could not be written.
int answer(request asked, const char *program, const char *usage);

// The version of this build, as --version says it ("1.0").
const char *program_version();

}  // namespace common

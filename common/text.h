// Text made from a printf format, for messages, labels and popups, and
// names made safe to show.
#pragma once

#include <string>

namespace common {

// The text of a printf format, as long as it needs to be.
std::string text_of(const char *format, ...) __attribute__((format(printf, 1, 2)));

// `s` as one line that cannot move the cursor or send the terminal an
// escape sequence: each control byte (0x00 to 0x1f, 0x7f) as a C escape,
// \a \b \t \n \v \f \r by name and the others as \x and two lowercase
// hex digits (ESC: \x1b), and a backslash as \\, so that no two names
// look alike. Other bytes (UTF-8 letters too) are kept as they are. For
// every name of a file, directory or variable's value that reaches a
// terminal, a log or a one-line record.
std::string printable(const std::string &s);

}  // namespace common

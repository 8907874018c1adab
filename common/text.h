// Text made from a printf format, for messages, labels and popups, and
// text from outside made safe to show.
#pragma once

#include <string>

namespace common {

// The text of a printf format, as long as it needs to be.
std::string text_of(const char *format, ...) __attribute__((format(printf, 1, 2)));

// `text` with each control byte (below 0x20, and DEL) written as a C-style
// escape (\n, \t, \e, \x7f, ...) and each backslash doubled, so that a
// name from outside shows on one line and moves no cursor. Other bytes are
// kept as they are.
std::string printable(const std::string &text);

}  // namespace common

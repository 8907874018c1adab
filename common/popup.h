// Timed popup message in a small bordered window.
#pragma once

#include <string>

namespace common {

// Shows text at screen row 5, column 10 for `seconds` whole seconds, then
// deletes the window without repainting what lies under it.
void dopopup(const char *text, int seconds);

// A popup's text from a printf format, as long as it needs to be.
std::string text_of(const char *format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace common

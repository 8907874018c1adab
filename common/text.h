// Text made from a printf format, for messages, labels and popups.
#pragma once

#include <string>

namespace common {

// The text of a printf format, as long as it needs to be.
std::string text_of(const char *format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace common

#include "common/text.h"

#include <cstdarg>
#include <cstdio>

namespace common {

std::string text_of(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(&text[0], text.size() + 1, format, again);
    va_end(again);
    return text;
}

std::string printable(const std::string &s)
{
    static const char named[] = "abtnvfr";  // the C escapes of bytes 7 to 13
    std::string shown;
    for (char c : s) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\')
            shown += "\\\\";
        else if (byte >= 7 && byte <= 13)
            shown += std::string("\\") + named[byte - 7];
        else if (byte < 0x20 || byte == 0x7f)
            shown += text_of("\\x%02x", byte);
        else
            shown += c;
    }
    return shown;
}

}  // namespace common

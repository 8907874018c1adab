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

namespace {

// The letter of a control byte's C-style escape, or 0 for none.
char escape_letter(unsigned char byte)
{
    switch (byte) {
    case '\a': return 'a';
    case '\b': return 'b';
    case '\t': return 't';
    case '\n': return 'n';
    case '\v': return 'v';
    case '\f': return 'f';
    case '\r': return 'r';
    case 0x1b: return 'e';
    default: return 0;
    }
}

}  // namespace

std::string printable(const std::string &text)
{
    std::string shown;
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\')
            shown += "\\\\";
        else if (char letter = escape_letter(byte))
            shown += {'\\', letter};
        else if (byte < 0x20 || byte == 0x7f)
            shown += text_of("\\x%02x", byte);
        else
            shown += c;
    }
    return shown;
}

}  // namespace common

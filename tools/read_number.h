// A number on a tool's command line: decimal as strtol reads it (blanks and
// a sign before it), nothing after it, within [low, high].
#pragma once

#include <cerrno>
#include <cstdlib>

inline bool read_number(const char *text, long low, long high, long *value)
{
    char *end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || v < low || v > high)
        return false;
    *value = v;
    return true;
}

// The answers of terrarium's gene editor: a race is one printable
// character or nothing; a gene is what "%d" reads, saturated at the range
// of int, or nothing. The input, up to its first NUL, is one answer line.
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "terrarium/edit.h"

namespace {

void fail(const char *what, const std::string &line)
{
    std::fprintf(stderr, "fuzz_edit_answers: %s for \"%s\"\n", what, line.c_str());
    std::abort();
}

// "%d" by hand: white space, a sign, digits; saturated.
bool reference_gene(const std::string &line, int *gene)
{
    size_t i = 0;
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
        i++;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    if (i >= line.size() || !std::isdigit(static_cast<unsigned char>(line[i])))
        return false;
    long long value = 0;
    for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); i++)
        if (value <= INT_MAX)
            value = value * 10 + (line[i] - '0');
    if (negative)
        value = -value;
    *gene = static_cast<int>(value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : value));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string line(reinterpret_cast<const char *>(data), size);
    line = line.c_str();  // up to the first NUL, as a line would be

    char race = '?';
    bool took = terrarium::race_answer(line.c_str(), &race);
    unsigned char first = line.empty() ? 0 : static_cast<unsigned char>(line[0]);
    bool printable = first >= ' ' && first <= '~';
    if (took != printable)
        fail("race taken or refused wrongly", line);
    if (race != (took ? line[0] : '?'))
        fail("race stored wrongly", line);

    int gene = 12345, wanted = 12345;
    bool read = terrarium::gene_answer(line.c_str(), &gene);
    bool expected = reference_gene(line, &wanted);
    if (read != expected)
        fail("gene read or refused wrongly", line);
    if (gene != wanted)
        fail("gene stored wrongly", line);
    return 0;
}

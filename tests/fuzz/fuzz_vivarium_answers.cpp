// The answers of vivarium's gene editor, read from a stream: whatever is
// typed, the race stays a printable character and every gene an action
// code; and a gene read from a stream is what terrarium's editor reads
// from the same text as a line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "terrarium/edit.h"
#include "vivarium/edit.h"

namespace {

void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_vivarium_answers: %s\n", what);
    std::abort();
}

// The input as a read-only stream; an empty input is an empty stream.
std::FILE *stream_of(const uint8_t *data, size_t size)
{
    static const char nothing[1] = {0};
    if (size == 0)
        return fmemopen(const_cast<char *>(nothing), 0, "r");
    return fmemopen(const_cast<uint8_t *>(data), size, "r");
}

void answers(const uint8_t *data, size_t size)
{
    std::FILE *in = stream_of(data, size);
    if (in == nullptr)
        return;
    char race = 'M';
    int dna[vivarium::GENES];
    for (int i = 0; i < vivarium::GENES; i++)
        dna[i] = i % 4;
    long asked = 0;
    vivarium::read_answers(in, &race, dna, [&](int) { asked++; });
    std::fclose(in);
    if (race < ' ' || race > '~')
        fail("a race that is not printable");
    for (int gene : dna)
        if (gene < 0 || gene > 3)
            fail("a gene that is not an action code");
    // One question for the race, at least one a gene, one more for every
    // number refused; each refusal uses up at least one byte.
    if (asked < 1 + vivarium::GENES || asked > 1 + vivarium::GENES + static_cast<long>(size))
        fail("questions asked do not match the answers");
}

void one_gene(const uint8_t *data, size_t size)
{
    std::string line(reinterpret_cast<const char *>(data), size);
    line = line.c_str();
    std::FILE *in = fmemopen(const_cast<char *>(line.c_str()), line.size() + 1, "r");
    if (in == nullptr)
        return;
    int from_stream = 777, from_line = 777;
    bool stream_read = vivarium::read_gene(in, &from_stream);
    std::fclose(in);
    bool line_read = terrarium::gene_answer(line.c_str(), &from_line);
    if (stream_read != line_read || from_stream != from_line)
        fail("a gene read differently from a stream and from a line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    answers(data, size);
    one_gene(data, size);
    return 0;
}

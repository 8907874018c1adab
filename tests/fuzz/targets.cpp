// Three fuzz targets in one source, chosen by FUZZ_TARGET at build time:
//   1 fuzz_options: terrarium's command line, split at NUL bytes, ends in
//     good values or in one refusal with its own message, the same twice;
//   2 fuzz_edit_answers: terrarium's editor answers (the input up to its
//     first NUL is one line) are read as "%c" and "%d" would read them;
//   3 fuzz_vivarium_answers: whatever is typed, vivarium's editor keeps a
//     race that may be one and genes that are action codes, and reads a
//     gene as terrarium's editor reads the same text.
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/edit_window.h"
#include "terrarium/edit.h"
#include "terrarium/init.h"
#include "vivarium/edit.h"

namespace {

void check(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz target %d: %s\n", FUZZ_TARGET, what);
        std::abort();
    }
}

void options(const std::string &text)
{
    std::vector<std::string> args{"terrarium"};
    for (size_t start = 0; args.size() < 12 && start <= text.size() && !text.empty();) {
        size_t end = std::min(text.find('\0', start), text.size());
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<const char *> argv;
    for (const std::string &a : args)
        argv.push_back(a.c_str());
    int argc = static_cast<int>(argv.size());
    terrarium::options chosen, again;
    const char *message = nullptr, *message_again = nullptr;
    int status = terrarium::parse_options(argc, argv.data(), &chosen, &message);
    const char *messages[] = {nullptr, nullptr, "I'm confused too many args\n", "try -s [.25-30]\n",
                              "bad args\nusage: terrarium [-s world_size] [-r roughness] [-g grid_size]\n",
                              "try -r [1-1000]\n", "try -g [2-8]\n"};
    check(status >= 0 && status <= 6 && status != 1, "an unknown status");
    if (status == 0)
        check(chosen.world_size >= 0.25f && chosen.world_size <= 30.0f && chosen.roughness >= 1 &&
                  chosen.roughness <= 1000 && chosen.grid_size >= 2 && chosen.grid_size <= 8,
              "a value out of range");
    else
        check(message != nullptr && std::strcmp(message, messages[status]) == 0, "a refusal without its message");
    check(argc < 8 || status == 2, "too many arguments accepted");
    check(terrarium::parse_options(argc, argv.data(), &again, &message_again) == status &&
              (status != 0 || (again.world_size == chosen.world_size && again.roughness == chosen.roughness &&
                               again.grid_size == chosen.grid_size)),
          "a second reading differs");
}

// "%d" by hand: white space, a sign, digits; saturated.
bool reference_gene(const std::string &line, int *gene)
{
    size_t i = 0;
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
        i++;
    bool negative = i < line.size() && line[i] == '-';
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        i++;
    if (i >= line.size() || !std::isdigit(static_cast<unsigned char>(line[i])))
        return false;
    long long value = 0;
    for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); i++)
        if (value <= INT_MAX)
            value = value * 10 + (line[i] - '0');
    value = negative ? -value : value;
    *gene = static_cast<int>(value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : value));
    return true;
}

void edit_answers(const std::string &text)
{
    std::string line = text.c_str();
    char race = '?';
    bool took = terrarium::race_answer(line.c_str(), &race);
    check(took == (!line.empty() && common::race_ok(static_cast<unsigned char>(line[0]))), "a race taken wrongly");
    check(race == (took ? line[0] : '?'), "a race stored wrongly");
    int gene = 12345, wanted = 12345;
    check(terrarium::gene_answer(line.c_str(), &gene) == reference_gene(line, &wanted) && gene == wanted,
          "a gene read wrongly");
}

// The text as the keyboard would give it: through a pipe, then its end.
int typed(const std::string &text)
{
    int fds[2];
    if (pipe(fds) != 0)
        std::abort();
    size_t size = std::min<size_t>(text.size(), 60000);  // within the pipe's buffer
    check(write(fds[1], text.data(), size) == static_cast<ssize_t>(size), "a short write");
    close(fds[1]);
    return fds[0];
}

void vivarium_answers(const std::string &text)
{
    int fd = typed(text);
    vivarium::answer_reader in(fd);
    char race = 'M';
    common::gene_t dna[vivarium::GENES] = {};
    long asked = 0;
    vivarium::read_answers(in, &race, dna, [&](int) { asked++; });
    close(fd);
    check(common::race_ok(race), "a race that may not be one");
    for (int gene : dna)
        check(common::gene_ok(gene), "a gene that is not an action code");
    // A question for the race, one per gene, one more per number refused,
    // each refusal using up at least one byte.
    check(asked >= 1 + vivarium::GENES && asked <= 1 + vivarium::GENES + static_cast<long>(text.size()),
          "questions do not match the answers");
    std::string line = text.c_str();
    fd = typed(line);
    vivarium::answer_reader one(fd);
    int from_keys = 777, from_line = 777;
    bool keys_read = vivarium::read_gene(one, &from_keys);
    close(fd);
    check(keys_read == terrarium::gene_answer(line.c_str(), &from_line) && from_keys == from_line,
          "a gene read differently from the keys and from a line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    if (FUZZ_TARGET == 1)
        options(text);
    else if (FUZZ_TARGET == 2)
        edit_answers(text);
    else
        vivarium_answers(text);
    return 0;
}

// Five fuzz targets, chosen by FUZZ_TARGET at build time: 1 fuzz_options,
// 2 fuzz_edit_answers, 3 fuzz_vivarium_answers, 4 fuzz_log_reader,
// 5 fuzz_world_reader.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "screen/edit_window.h"
#include "storage/headless.h"
#include "storage/world_file.h"
#include "programs/terrarium/edit.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"
#include "tools/lab/log_file.h"
#include "tools/programs.h"
#include "programs/vivarium/edit.h"
#include "vivarium/rules.h"

namespace {

void check(bool holds, const char *what)
{
    if (!holds)
        std::fprintf(stderr, "fuzz target %d: %s\n", FUZZ_TARGET, what), std::abort();
}

// Terrarium's command line, split at NUL bytes, ends in good values or in
// one refusal with its own message, the same twice.
void options(const std::string &text)
{
    std::vector<const char *> argv{"terrarium"};
    for (size_t at = 0; !text.empty() && at <= text.size() && argv.size() < 12; at += std::strlen(&text[at]) + 1)
        argv.push_back(&text[at]);
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

// "%d" by hand: white space, a sign, digits; saturated at int's range.
bool reference_gene(const std::string &line, int *gene)
{
    size_t i = std::min(line.find_first_not_of(" \t\n\v\f\r"), line.size());
    bool negative = line[i] == '-';
    i += line[i] == '-' || line[i] == '+';
    if (!std::isdigit(static_cast<unsigned char>(line[i])))
        return false;
    long long value = 0;
    for (; std::isdigit(static_cast<unsigned char>(line[i])); i++)
        value = std::min(value * 10 + (line[i] - '0'), 1LL << 32);
    *gene = static_cast<int>(std::clamp<long long>(negative ? -value : value, INT_MIN, INT_MAX));
    return true;
}

// Terrarium's editor answers (the input up to its first NUL is one line)
// are read as "%c" and "%d" would read them.
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
    check(pipe(fds) == 0, "no pipe");
    size_t size = std::min<size_t>(text.size(), 60000);  // within the pipe's buffer
    check(write(fds[1], text.data(), size) == static_cast<ssize_t>(size), "a short write");
    close(fds[1]);
    return fds[0];
}

// Whatever is typed, vivarium's editor keeps a race that may be one and
// genes that are action codes, and reads a gene as terrarium's does.
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
    // A question for the race and each gene, and one per refusal, which uses up a byte at least.
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

// A log as the reader took it, written out again.
std::string log_text(const lab::log_file &log)
{
    std::string text;
    for (const std::string &column : log.columns)
        text += (&column == log.columns.data() ? "" : ",") + column;
    text += log.columns.empty() ? "" : "\n";
    for (const std::vector<long long> &row : log.rows) {
        for (size_t i = 0; i < row.size(); i++)
            text += (i ? "," : "") + std::to_string(row[i]);
        text += "\n";
    }
    return text + (log.ended ? "# end: status " + std::to_string(log.end_status) + "\n" : "");
}

// The lab's log reader takes rows as wide as a header that begins "pass,
// population"; what it takes, written out again (with CRLF lines too),
// reads the same.
void log_reader(const std::string &text)
{
    lab::log_file log, again, crlf;
    std::string why;
    if (!lab::parse_log(text, &log, &why)) {
        check(!why.empty(), "a refusal without a reason");
        return;
    }
    check(log.columns.empty() || (log.columns[0] == "pass" && log.columns[1] == "population"), "a bad header");
    for (const std::vector<long long> &row : log.rows)
        check(row.size() == log.columns.size(), "a row of another width");
    std::string written = log_text(log), with_cr;
    for (char c : written)
        with_cr += c == '\n' ? std::string("\r\n") : std::string(1, c);
    check(lab::parse_log(written, &again, &why) && lab::parse_log(with_cr, &crlf, &why), "not read again");
    for (const lab::log_file *other : {&again, &crlf})
        check(other->columns == log.columns && other->rows == log.rows && other->ended == log.ended &&
                  (!log.ended || other->end_status == log.end_status || log.end_status < 0),
              "read again otherwise");
}

// Any bytes, as either program's world file, are refused with one line
// naming the file, or read into a world that dumps and runs a pass (or
// ends, one bug left) without a fault.
void world_reader(const std::string &bytes)
{
    static std::FILE *const nowhere = std::fopen("/dev/null", "w");
    common::headless_hooks();
    for (const common::rules *r : tools::programs) {
        std::unique_ptr<common::world_base> w = r->new_world();
        common::run_state run;
        std::string why;
        int status = common::load_world_bytes(bytes, "fuzz.world", *w, *r, &run, &why);
        check(status == 0 || ((status == common::EXIT_BAD_WORLD_FILE || status == common::EXIT_WORLD_TOO_LARGE) &&
                              why.rfind("'fuzz.world': ", 0) == 0 && why.find('\n') == std::string::npos),
              "a refusal without its one line");
        if (status != 0)
            continue;
        r->dump(nowhere, *w);
        if (run.turn_pending)
            common::play_turn(*w, *r);
        common::outcome o = common::run_passes(*w, *r, 1);
        check(common::exit_status(o) == 0, "a world read that ends otherwise than with its last bug");
        r->dump(nowhere, *w);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    void (*const targets[])(const std::string &) = {options, edit_answers, vivarium_answers, log_reader,
                                                    world_reader};
    targets[FUZZ_TARGET - 1](std::string(reinterpret_cast<const char *>(data), size));
    return 0;
}

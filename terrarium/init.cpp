#include "terrarium/init.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/hooks.h"
#include "common/world.h"
#include "terrarium/findbug.h"
#include "terrarium/globals.h"
#include "terrarium/terrain.h"

namespace terrarium {

namespace {

// Reads the longest decimal floating-point prefix of text, after leading
// white space; text that does not begin with a number reads as 0. Unlike
// strtod, hexadecimal, "nan" and "inf" are not numbers here.
double decimal_real(const char *text)
{
    while (std::isspace(static_cast<unsigned char>(*text)))
        text++;
    std::string number;
    const char *p = text;
    if (*p == '+' || *p == '-')
        number += *p++;
    bool digits = false;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        number += *p++;
        digits = true;
    }
    if (*p == '.') {
        number += *p++;
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            number += *p++;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char *q = p + 1;
        if (*q == '+' || *q == '-')
            q++;
        if (std::isdigit(static_cast<unsigned char>(*q))) {
            while (p < q)
                number += *p++;
            while (std::isdigit(static_cast<unsigned char>(*p)))
                number += *p++;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

// Reads a decimal integer prefix after leading white space; a value too
// large for a long saturates, so it fails any range instead of wrapping.
// Text that does not begin with a number reads as 0.
long decimal_integer(const char *text) { return std::strtol(text, nullptr, 10); }

bool in_range(long value, long low, long high) { return value >= low && value <= high; }

bug *new_seeded_bug()
{
    bug *b = static_cast<bug *>(hooks.allocate(sizeof(bug)));
    if (b == nullptr)
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    do {
        b->x = std::rand() % world_col;
        b->y = std::rand() % world_row;
    } while (cell_read(b->y, b->x) != ' ');
    b->vector = std::rand() % 4;
    b->race = static_cast<char>('A' + std::rand() % 26);
    b->size = std::rand() % 99 + 2;
    b->vision = std::rand() % 10 + 1;
    b->food = 100 * b->size;
    b->gen = 1;
    b->age = 0;
    for (gene_t &gene : b->dna)
        gene = static_cast<gene_t>(std::rand() % 4);
    for (int code = 0; code < GLYPHS; code++)
        b->motive[code] = (code >= 'A' && code <= 'Z') ? 5 : 0;
    attraction(b, '@') = 15;
    return b;
}

}  // namespace

int parse_options(int argc, const char *const argv[], options *chosen, const char **message)
{
    *chosen = options();
    if (argc >= 8) {
        *message = "I'm confused too many args\n";
        return 2;
    }
    for (int i = 1; i < argc; i++) {
        const char *option = argv[i];
        // An option given last has an empty value, which fails its range.
        const char *value = (i + 1 < argc) ? argv[++i] : "";
        if (std::strcmp(option, "-s") == 0) {
            chosen->world_size = static_cast<float>(decimal_real(value));
            if (!(chosen->world_size >= 0.25f && chosen->world_size <= 30.0f)) {
                *message = "try -s [.25-30]\n";
                return 3;
            }
        } else if (std::strcmp(option, "-r") == 0) {
            long r = decimal_integer(value);
            if (!in_range(r, 1, 1000)) {
                *message = "try -r [1-1000]\n";
                return 5;
            }
            chosen->roughness = static_cast<int>(r);
        } else if (std::strcmp(option, "-g") == 0) {
            long g = decimal_integer(value);
            if (!in_range(g, 2, 8)) {
                *message = "try -g [2-8]\n";
                return 6;
            }
            chosen->grid_size = static_cast<int>(g);
        } else {
            *message = "bad args\n";
            return 4;
        }
    }
    return 0;
}

void apply_options(const options &chosen)
{
    world_size = chosen.world_size;
    roughness = chosen.roughness;
    grid_size = chosen.grid_size;
}

common::run_description describe()
{
    return {"terrarium", text_of("-s %g -r %d -g %d", static_cast<double>(world_size), roughness, grid_size), true};
}

void init() { start_up(describe(), set_world_size, start); }

void set_world_size()
{
    world_col = static_cast<int>(COLS * static_cast<double>(world_size));
    world_row = static_cast<int>(LINES * static_cast<double>(world_size));
    if (static_cast<long long>(world_col) * world_row < 100)
        stop_with(EXIT_WORLD_TOO_SMALL, "world too small\n");
}

void start()
{
    generateterrain();
    populate(bugs, bugs_by_cell, new_seeded_bug);
}

void free_world() { common::free_world(bugs_by_cell, {&bugs, &first, &sb, &hf, &hg, &old, &hk}); }

}  // namespace terrarium

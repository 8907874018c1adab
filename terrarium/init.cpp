#include "terrarium/init.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/hooks.h"
#include "common/populate.h"
#include "terrarium/world.h"
#include "terrarium/terrain.h"

namespace terrarium {

// The usage text's first line, also the second line of "bad args".
#define SYNOPSIS "usage: terrarium [-s world_size] [-r roughness] [-g grid_size]\n"

const char usage[] =
    SYNOPSIS
    "       terrarium --resume FILE\n"
    "       terrarium -h | --help | --version\n"
    "\n"
    "Bugs, drawn as race letters, live on a wrapping map of ground, water (~),\n"
    "mountains (#) and food that ripens from . to * to @: they look, move, eat,\n"
    "fight, mate and die, and their genes and attractions are inherited.\n"
    "\n"
    "Options (each value is the next argument):\n"
    "  -s world_size  the map's size as a multiple of the screen's, 0.25 to 30 (2)\n"
    "  -r roughness   the terrain's roughness, 1 to 1000 (150)\n"
    "  -g grid_size   exponent of the terrain's seed grid, 2 to 8 (4)\n"
    "  --resume FILE  run on the world saved in FILE, with its own options\n"
    "  -h, --help     this text\n"
    "  --version      the version\n"
    "\n"
    "Keys (no Enter; one per pass while running):\n"
    "  x           quit (Ctrl-C is an ordinary key here)\n"
    "  Ctrl-S      save the world now (see TERRARIUM_SAVE)\n"
    "  p, n        pause or resume; run one pass, then pause\n"
    "  f, s, t     faster, slower, top speed\n"
    "  1 2 3 4 5   select the next bug, the one with most food, of the highest\n"
    "              generation, the oldest, the greatest killer\n"
    "  g           centre the view on the selected bug\n"
    "  h j k l     scroll left, down, up, right\n"
    "  v d c b     the selected bug's place, genes, summary, attractions\n"
    "  e           edit the selected bug's race and genes\n"
    "  w           world statistics\n"
    "  z           switch between the map and the per-race statistics\n"
    "  o           the overview of the whole world; there h j k l move the view\n"
    "              by one block, m switches between the races and the bugs per\n"
    "              block, o or Enter go back to the map\n"
    "\n"
    "TERRARIUM_COLOR=1 draws the map in colour (never with NO_COLOR set).\n"
    "TERRARIUM_SAVE=FILE saves the world to FILE every TERRARIUM_SAVE_EVERY\n"
    "seconds (300), at Ctrl-S and at the end, also on SIGHUP and SIGTERM;\n"
    "without it Ctrl-S saves to a new terrarium-PASS.world. A resumed world\n"
    "does not read TERRARIUM_SEED.\n"
    "Manual: man 6 terrarium (from the source tree: man -l man/terrarium.6).\n";

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

void seed_bug(world &w, bug *b)
{
    common::random_stream &random = w.random;
    do {
        b->x = random.next() % w.map.cols();
        b->y = random.next() % w.map.rows();
    } while (w.map.read(b->y, b->x) != ' ');
    b->facing = random.next() % 4;
    b->race = static_cast<char>('A' + random.next() % 26);
    b->size = random.next() % 99 + 2;
    b->vision = random.next() % 10 + 1;
    b->food = 100 * b->size;
    b->gen = 1;
    b->age = 0;
    for (gene_t &gene : b->dna)
        gene = static_cast<gene_t>(random.next() % 4);
    for (int code = 0; code < GLYPHS; code++)
        b->motive[code] = (code >= 'A' && code <= 'Z') ? 5 : 0;
    attraction(b, '@') = 15;
}

}  // namespace

int parse_options(int argc, const char *const argv[], options *chosen, const char **message)
{
    *chosen = options();
    if (argc >= 8) {
        *message = "I'm confused too many args\n";
        return common::EXIT_TOO_MANY_ARGS;
    }
    for (int i = 1; i < argc; i++) {
        const char *option = argv[i];
        chosen->asked = common::request_of(option);
        if (chosen->asked != common::request::run)
            return 0;
        // An option given last has an empty value, which fails its range.
        const char *value = (i + 1 < argc) ? argv[++i] : "";
        if (std::strcmp(option, "-s") == 0) {
            chosen->world_size = static_cast<float>(decimal_real(value));
            if (!(chosen->world_size >= 0.25f && chosen->world_size <= 30.0f)) {
                *message = "try -s [.25-30]\n";
                return common::EXIT_BAD_WORLD_SIZE;
            }
        } else if (std::strcmp(option, "-r") == 0) {
            long r = decimal_integer(value);
            if (!in_range(r, 1, 1000)) {
                *message = "try -r [1-1000]\n";
                return common::EXIT_BAD_ROUGHNESS;
            }
            chosen->roughness = static_cast<int>(r);
        } else if (std::strcmp(option, "--resume") == 0 && *value != '\0') {
            chosen->resume = value;
        } else if (std::strcmp(option, "-g") == 0) {
            long g = decimal_integer(value);
            if (!in_range(g, 2, 8)) {
                *message = "try -g [2-8]\n";
                return common::EXIT_BAD_GRID_SIZE;
            }
            chosen->grid_size = static_cast<int>(g);
        } else {
            *message = "bad args\n" SYNOPSIS;
            return common::EXIT_BAD_ARGS;
        }
    }
    // A saved world has its own options.
    if (chosen->resume != nullptr && argc != 3) {
        *message = "bad args\n" SYNOPSIS;
        return common::EXIT_BAD_ARGS;
    }
    return 0;
}

common::run_description describe(const world &w)
{
    const options &shape = w.shape;
    std::string options =
        text_of("-s %g -r %d -g %d", static_cast<double>(shape.world_size), shape.roughness, shape.grid_size);
    return {"terrarium", options, true, {}, {}};
}

namespace {

// Cells along a screen dimension of `screen` cells at a world size.
int scaled(int screen, float size) { return static_cast<int>(screen * static_cast<double>(size)); }

bool big_enough(int lines, int cols, float size)
{
    return static_cast<long long>(scaled(cols, size)) * scaled(lines, size) >= 100;
}

// The least -s, in hundredths, that makes this screen's world big enough,
// read as the option reads it. At 30 even a 1 x 1 screen gives 900 cells.
int least_world_size(int lines, int cols)
{
    int hundredths = 25;
    while (hundredths < 3000 && !big_enough(lines, cols, static_cast<float>(hundredths / 100.0)))
        hundredths++;
    return hundredths;
}

}  // namespace

void world_size(world &w)
{
    int lines = w.screen_lines, cols = w.screen_cols;
    float size = w.shape.world_size;
    w.map.plan(scaled(lines, size), scaled(cols, size));
    if (static_cast<long long>(w.map.cols()) * w.map.rows() < 100) {
        int least = least_world_size(lines, cols);
        end_world(outcome::too_small, text_of("world too small\nthe terminal is %dx%d: try -s %d.%02d or more\n",
                                              cols, lines, least / 100, least % 100));
    }
}

void start(world &w)
{
    generateterrain(w);
    common::populate(w, seed_bug);
}

}  // namespace terrarium

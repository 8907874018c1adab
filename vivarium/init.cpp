#include "vivarium/init.h"

#include <cstdlib>

#include "common/hooks.h"
#include "common/populate.h"
#include "vivarium/world.h"
#include "vivarium/terrain.h"

namespace vivarium {

const char usage[] =
    "usage: vivarium [-h | --help | --version | --resume FILE]\n"
    "\n"
    "The earlier generation of terrarium: bugs, drawn as race letters, live on a\n"
    "wrapping map ten times the screen, of ground, water (~), mountains (#) and\n"
    "food that ripens from . to * to @; they look, move, eat, mate and die.\n"
    "It takes no options but --resume FILE, which runs on the world saved in\n"
    "FILE: any other argument is ignored.\n"
    "\n"
    "Keys (no Enter; one per pass while running):\n"
    "  x           quit (Ctrl-C is an ordinary key here)\n"
    "  Ctrl-S      save the world now (see VIVARIUM_SAVE)\n"
    "  p, n        pause or resume; run one pass, then pause\n"
    "  f, s, t     faster, slower, top speed\n"
    "  1 2 3 4     select the next bug, the one with most food, of the highest\n"
    "              generation, the oldest\n"
    "  g           centre the view on the selected bug\n"
    "  h j k l     scroll left, down, up, right\n"
    "  v d c       the selected bug's place, genes, summary\n"
    "  e           edit the selected bug's race and genes\n"
    "  z           switch between the map and the per-race statistics\n"
    "  o           the overview of the whole world; there h j k l move the view\n"
    "              by one block, m switches between the races and the bugs per\n"
    "              block, o or Enter go back to the map\n"
    "\n"
    "VIVARIUM_COLOR=1 draws the map in colour (never with NO_COLOR set).\n"
    "VIVARIUM_SAVE=FILE saves the world to FILE every VIVARIUM_SAVE_EVERY\n"
    "seconds (300), at Ctrl-S and at the end, also on SIGHUP and SIGTERM;\n"
    "without it Ctrl-S saves to a new vivarium-PASS.world. A resumed world\n"
    "does not read VIVARIUM_SEED.\n"
    "Manual: man 6 vivarium (from the source tree: man -l man/vivarium.6).\n";

namespace {

// A bug of the first population. Its cell is taken whatever it holds, so
// it may share it with water, food or another bug; it is not drawn.
void seed_bug(world &w, bug *b)
{
    common::random_stream &random = w.random;
    w.population++;
    b->x = random.next() % w.map.cols();
    b->y = random.next() % w.map.rows();
    b->facing = random.next() % 4;
    b->race = static_cast<char>('A' + random.next() % 20);
    b->size = random.next() % 99 + 2;
    b->food_glyph = '@';
    b->food = 100 * b->size;
    b->gen = 1;
    b->age = 0;
    for (gene_t &gene : b->dna)
        gene = static_cast<gene_t>(random.next() % 4);
}

}  // namespace

common::run_description describe(const world &) { return {"vivarium", "", false, {}, {}}; }

int world_extent(int screen) { return 10 * screen - (10 * screen) % 8 + 9; }

void world_size(world &w) { w.map.plan(world_extent(w.screen_lines), world_extent(w.screen_cols)); }

void start(world &w)
{
    generateterrain(w);
    common::populate(w, seed_bug);
}

}  // namespace vivarium

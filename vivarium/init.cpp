#include "vivarium/init.h"

#include <cstdlib>

#include "common/hooks.h"
#include "common/world.h"
#include "vivarium/findbug.h"
#include "vivarium/globals.h"
#include "vivarium/terrain.h"

namespace vivarium {

namespace {

// A bug of the first population. Its cell is taken whatever it holds, so
// it may share it with water, food or another bug; it is not drawn.
bug *new_seeded_bug()
{
    bug *b = static_cast<bug *>(hooks.allocate(sizeof(bug)));
    if (b == nullptr)
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    population++;
    b->x = std::rand() % world_col;
    b->y = std::rand() % world_row;
    b->vector = std::rand() % 4;
    b->race = static_cast<char>('A' + std::rand() % 20);
    b->size = std::rand() % 99 + 2;
    b->food_glyph = '@';
    b->food = 100 * b->size;
    b->gen = 1;
    b->age = 0;
    for (gene_t &gene : b->dna)
        gene = static_cast<gene_t>(std::rand() % 4);
    return b;
}

}  // namespace

common::run_description describe() { return {"vivarium", "", false}; }

void init() { start_up(describe(), set_world_size, start); }

int world_extent(int screen) { return 10 * screen - (10 * screen) % 8 + 9; }

void set_world_size()
{
    world_row = world_extent(LINES);
    world_col = world_extent(COLS);
}

void start()
{
    generateterrain();
    populate(bugs, bugs_by_cell, new_seeded_bug);
}

void free_world()
{
    common::free_world(bugs_by_cell, {&bugs, &first, &sb, &hf, &hg, &old});
    population = 0;
}

}  // namespace vivarium

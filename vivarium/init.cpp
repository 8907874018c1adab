#include "vivarium/init.h"

#include <cstdlib>
#include <ctime>
#include <curses.h>

#include "common/kb.h"
#include "common/ring_walk.h"
#include "common/term.h"
#include "common/world.h"
#include "vivarium/findbug.h"
#include "vivarium/food.h"
#include "vivarium/globals.h"
#include "vivarium/terrain.h"

namespace vivarium {

namespace {

// A bug of the first population. Its cell is taken whatever it holds, so
// it may share it with water, food or another bug; it is not drawn.
bug *new_seeded_bug()
{
    bug *b = static_cast<bug *>(std::malloc(sizeof(bug)));
    if (b == nullptr)
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
    b->x = std::rand() % map_cols;
    b->y = std::rand() % map_rows;
    b->vector = std::rand() % 4;
    b->race = static_cast<char>('A' + std::rand() % 20);
    b->size = std::rand() % 99 + 2;
    b->food_glyph = '@';
    b->food = 100 * b->size;
    b->gen = 1;
    b->age = 0;
    for (int &gene : b->dna)
        gene = std::rand() % 4;
    return b;
}

}  // namespace

void init()
{
    open_terminal("vivarium");
    set_world_size();
    init_kb();
    build_world(static_cast<unsigned>(std::time(nullptr)));
}

void stop() { leave(0, nullptr, world_pad); }

void stop_with(int status, const char *message) { leave(status, message, world_pad); }

int world_extent(int screen) { return 10 * screen - (10 * screen) % 8 + 9; }

void set_world_size()
{
    map_rows = world_extent(LINES);
    map_cols = world_extent(COLS);
}

void start()
{
    generateterrain();
    int area = map_cols * map_rows;
    for (int i = 0; i < area / 10; i++)
        placefood();
    for (int i = 0; i < area / 100; i++) {
        population++;
        append_bug(bugs, new_seeded_bug());
    }
    if (!bugs_by_cell.build(map_rows, map_cols, bugs))
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
}

void build_world(unsigned seed)
{
    world_pad = open_world(seed, map_rows, map_cols);
    start();
}

void free_world()
{
    bugs_by_cell.clear();
    free_ring(bugs);
    bugs = first = sb = hf = hg = old = nullptr;
    population = 0;
    if (world_pad != nullptr)
        delwin(world_pad);
    world_pad = nullptr;
}

}  // namespace vivarium

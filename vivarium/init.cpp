#include "vivarium/init.h"

#include <cstdlib>
#include <ctime>

#include "common/hooks.h"
#include "common/kb.h"
#include "common/ring.h"
#include "vivarium/findbug.h"
#include "vivarium/globals.h"
#include "vivarium/terrain.h"

namespace vivarium {

namespace {

// A bug of the first population. Its cell is taken whatever it holds, so
// it may share it with water, food or another bug; it is not drawn.
bug *new_seeded_bug()
{
    bug *b = static_cast<bug *>(common::hooks.allocate(sizeof(bug)));
    if (b == nullptr)
        stop_with(common::EXIT_WORLD_TOO_LARGE, "world too large\n");
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

void init()
{
    common::open_terminal("vivarium");
    set_world_size();
    if (!common::init_kb())
        stop_with(common::EXIT_NO_TERMINAL, "vivarium: cannot put the terminal into raw mode\n");
    build_world(static_cast<unsigned>(std::time(nullptr)));
}

int world_extent(int screen) { return 10 * screen - (10 * screen) % 8 + 9; }

void set_world_size()
{
    world_row = world_extent(LINES);
    world_col = world_extent(COLS);
}

void build_world(unsigned seed)
{
    common::open_world(seed);
    start();
}

void start()
{
    generateterrain();
    int area = world_col * world_row;
    for (int i = 0; i < area / 10; i++)
        placefood();
    for (int i = 0; i < area / 100; i++) {
        population++;
        common::append_bug(bugs, new_seeded_bug());
    }
    if (!bugs_by_cell.build(world_col, bugs))
        stop_with(common::EXIT_WORLD_TOO_LARGE, "world too large\n");
}

void free_world()
{
    bugs_by_cell.clear();
    common::free_ring(bugs);
    bugs = first = sb = hf = hg = old = nullptr;
    population = 0;
    common::close_world();
}

}  // namespace vivarium

#include "tests/support/world.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "terrarium/driver.h"
#include "terrarium/findbug.h"
#include "terrarium/init.h"
#include "terrarium/mate_die.h"
#include "vivarium/driver.h"
#include "vivarium/findbug.h"
#include "vivarium/init.h"
#include "vivarium/mate_die.h"

void fresh_screen(int lines, int cols)
{
    common::forget(terrarium::headless);
    common::forget(vivarium::headless);
    ASSERT_TRUE(common::headless_screen(lines, cols));
}

void draw(const std::vector<std::string> &rows)
{
    for (size_t row = 0; row < rows.size(); row++)
        for (size_t col = 0; col < rows[row].size(); col++)
            if (rows[row][col] != ' ')
                common::cell_write(static_cast<int>(row), static_cast<int>(col), rows[row][col]);
}

common::stopped stop_of(const std::function<void()> &call)
{
    try {
        call();
    } catch (const common::stopped &s) {
        return s;
    }
    return {-1, ""};
}

template <class Bug>
void side<Bug>::blank(int rows, int cols, int lines, int screen_cols)
{
    fresh_screen(lines, screen_cols);
    common::world_row = rows;
    common::world_col = cols;
    common::open_world(1);
    common::enter_loop(program);
    index.reset(cols);
}

template <class Bug>
Bug *side<Bug>::add(int y, int x, char race, int vector)
{
    Bug *b = static_cast<Bug *>(std::calloc(1, sizeof(Bug)));
    b->x = x, b->y = y, b->vector = vector, b->race = race;
    b->size = 10, b->food = 1000, b->gen = 1;
    if constexpr (std::is_same_v<Bug, terrarium::bug>) {
        b->vision = 5;
        for (int code = 'A'; code <= 'Z'; code++)
            b->motive[code] = 5;
        terrarium::attraction(b, '@') = 15;
    } else {
        b->food_glyph = '@';
        vivarium::population++;
    }
    bool empty = cursor == nullptr;
    common::append_bug(cursor, b);
    index.make_room();
    index.add_linked(b);
    if (empty)
        for (Bug **p : pointers())
            *p = b;
    return b;
}

template <class Bug>
void side<Bug>::seeded(unsigned seed, int lines, int cols)
{
    fresh_screen(lines, cols);
    common::start_seeded(headless, seed);
}

template <> const char *const terrarium_side::name = "terrarium";
template <> const common::program &terrarium_side::program = terrarium::terrarium_program;
template <> const common::headless_program &terrarium_side::headless = terrarium::headless;
template <> void (*const terrarium_side::turn)() = terrarium::turn;
template <> void (*const terrarium_side::ageing_step)() = terrarium::ageing_step;
template <> void (*const terrarium_side::mate)() = terrarium::mate;
template <> void (*const terrarium_side::die)(terrarium::bug *) = terrarium::die;
template <> terrarium::bug *(*const terrarium_side::findbug)(int, int) = terrarium::findbug;
template <> common::bug_index<terrarium::bug> &terrarium_side::index = terrarium::bugs_by_cell;
template <> terrarium::bug *&terrarium_side::cursor = terrarium::bugs;
template <>
std::vector<terrarium::bug **> terrarium_side::pointers()
{
    using namespace terrarium;
    return {&bugs, &first, &sb, &hf, &hg, &old, &hk};
}

template <> const char *const vivarium_side::name = "vivarium";
template <> const common::program &vivarium_side::program = vivarium::vivarium_program;
template <> const common::headless_program &vivarium_side::headless = vivarium::headless;
template <> void (*const vivarium_side::turn)() = vivarium::turn;
template <> void (*const vivarium_side::ageing_step)() = vivarium::ageing_step;
template <> void (*const vivarium_side::mate)() = vivarium::mate;
template <> void (*const vivarium_side::die)(vivarium::bug *) = vivarium::die;
template <> vivarium::bug *(*const vivarium_side::findbug)(int, int) = vivarium::findbug;
template <> common::bug_index<vivarium::bug> &vivarium_side::index = vivarium::bugs_by_cell;
template <> vivarium::bug *&vivarium_side::cursor = vivarium::bugs;
template <>
std::vector<vivarium::bug **> vivarium_side::pointers()
{
    using namespace vivarium;
    return {&bugs, &first, &sb, &hf, &hg, &old};
}

template struct side<terrarium::bug>;
template struct side<vivarium::bug>;

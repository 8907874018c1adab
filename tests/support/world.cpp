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

// Each program's members of its side.
#define PROGRAM_SIDE(ns)                                                                                 \
    template <> const char *const side<ns::bug>::name = #ns;                                                  \
    template <> const common::program &side<ns::bug>::program = ns::ns##_program;                             \
    template <> const common::headless_program &side<ns::bug>::headless = ns::headless;                       \
    template <> void (*const side<ns::bug>::turn)() = ns::turn;                                               \
    template <> void (*const side<ns::bug>::ageing_step)() = ns::ageing_step;                                 \
    template <> void (*const side<ns::bug>::mate)() = ns::mate;                                               \
    template <> void (*const side<ns::bug>::die)(ns::bug *) = ns::die;                                        \
    template <> ns::bug *(*const side<ns::bug>::findbug)(int, int) = ns::findbug;                             \
    template <> common::bug_index<ns::bug> &side<ns::bug>::index = ns::bugs_by_cell;                          \
    template <> ns::bug *&side<ns::bug>::cursor = ns::refs.cursor;                                            \
    template <> int &side<ns::bug>::chosen_by = ns::refs.chosen_by;                                           \
    template <> std::vector<ns::bug **> side<ns::bug>::pointers()                                             \
    {                                                                                                         \
        std::vector<ns::bug **> all;                                                                          \
        ns::refs.each([&](ns::bug *&p) { all.push_back(&p); });                                               \
        return all;                                                                                           \
    }                                                                                                         \
    template struct side<ns::bug>;

PROGRAM_SIDE(terrarium)
PROGRAM_SIDE(vivarium)

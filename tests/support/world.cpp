#include "tests/support/world.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "terrarium/driver.h"
#include "terrarium/findbug.h"
#include "terrarium/headless.h"
#include "terrarium/init.h"
#include "terrarium/mate_die.h"
#include "vivarium/driver.h"
#include "vivarium/findbug.h"
#include "vivarium/headless.h"
#include "vivarium/init.h"
#include "vivarium/mate_die.h"

void fresh_screen(int lines, int cols)
{
    terrarium::forget();
    vivarium::forget();
    ASSERT_TRUE(common::headless_screen(lines, cols));
}

std::vector<std::string> map_text()
{
    std::vector<std::string> rows;
    for (int row = 0; row < common::world_row; row++)
        rows.emplace_back(common::map_row(row), static_cast<size_t>(common::world_col));
    return rows;
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

namespace {

template <class Bug>
void open_blank(int rows, int cols, int lines, int screen_cols, const common::program &program)
{
    fresh_screen(lines, screen_cols);
    common::world_row = rows;
    common::world_col = cols;
    common::open_world(1);
    common::enter_loop(program);
}

}  // namespace

// terrarium

template <>
void side_members<terrarium::bug>::blank(int rows, int cols, int lines, int screen_cols)
{
    open_blank<terrarium::bug>(rows, cols, lines, screen_cols, terrarium::terrarium_program);
    terrarium::bugs_by_cell.reset(cols);
    terrarium::wtr_c = terrarium::mnt_c = 0;
}

template <>
terrarium::bug *side_members<terrarium::bug>::add(int y, int x, char race, int vector)
{
    using namespace terrarium;
    bug *b = static_cast<bug *>(std::calloc(1, sizeof(bug)));
    *b = bug{x, y, vector, 1000, race, 0, 1, 10, 5, nullptr, nullptr, 0, {}, {}};
    for (int code = 'A'; code <= 'Z'; code++)
        b->motive[code] = 5;
    attraction(b, '@') = 15;
    bool empty = bugs == nullptr;
    common::append_bug(bugs, b);
    bugs_by_cell.make_room();
    bugs_by_cell.add_linked(b);
    if (empty)
        first = sb = hf = hg = old = hk = b;
    return b;
}

template <>
void side_members<terrarium::bug>::seeded(unsigned seed, int lines, int cols)
{
    fresh_screen(lines, cols);
    terrarium::start_seeded(seed);
}

template <>
terrarium::bug *&side_members<terrarium::bug>::cursor()
{
    return terrarium::bugs;
}

template <>
std::vector<terrarium::bug **> side_members<terrarium::bug>::pointers()
{
    using namespace terrarium;
    return {&bugs, &first, &sb, &hf, &hg, &old, &hk};
}

const common::program &terrarium_side::program = terrarium::terrarium_program;
const common::headless_program &terrarium_side::headless = terrarium::headless;
void terrarium_side::turn() { terrarium::turn(); }
void terrarium_side::ageing_step() { terrarium::ageing_step(); }
void terrarium_side::mate() { terrarium::mate(); }
void terrarium_side::die(bug *b) { terrarium::die(b); }
terrarium::bug *terrarium_side::findbug(int row, int col) { return terrarium::findbug(row, col); }
const common::bug_index<terrarium::bug> &terrarium_side::index() { return terrarium::bugs_by_cell; }

// vivarium

template <>
void side_members<vivarium::bug>::blank(int rows, int cols, int lines, int screen_cols)
{
    open_blank<vivarium::bug>(rows, cols, lines, screen_cols, vivarium::vivarium_program);
    vivarium::bugs_by_cell.reset(cols);
}

template <>
vivarium::bug *side_members<vivarium::bug>::add(int y, int x, char race, int vector)
{
    using namespace vivarium;
    bug *b = static_cast<bug *>(std::calloc(1, sizeof(bug)));
    *b = bug{x, y, vector, 1000, '@', race, 0, 1, 10, nullptr, nullptr, 0, {}};
    bool empty = bugs == nullptr;
    common::append_bug(bugs, b);
    bugs_by_cell.make_room();
    bugs_by_cell.add_linked(b);
    if (empty)
        first = sb = hf = hg = old = b;
    population++;
    return b;
}

template <>
void side_members<vivarium::bug>::seeded(unsigned seed, int lines, int cols)
{
    fresh_screen(lines, cols);
    vivarium::start_seeded(seed);
}

template <>
vivarium::bug *&side_members<vivarium::bug>::cursor()
{
    return vivarium::bugs;
}

template <>
std::vector<vivarium::bug **> side_members<vivarium::bug>::pointers()
{
    using namespace vivarium;
    return {&bugs, &first, &sb, &hf, &hg, &old};
}

const common::program &vivarium_side::program = vivarium::vivarium_program;
const common::headless_program &vivarium_side::headless = vivarium::headless;
void vivarium_side::turn() { vivarium::turn(); }
void vivarium_side::ageing_step() { vivarium::ageing_step(); }
void vivarium_side::mate() { vivarium::mate(); }
void vivarium_side::die(bug *b) { vivarium::die(b); }
vivarium::bug *vivarium_side::findbug(int row, int col) { return vivarium::findbug(row, col); }
const common::bug_index<vivarium::bug> &vivarium_side::index() { return vivarium::bugs_by_cell; }

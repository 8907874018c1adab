#include "tests/support/world.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

#include "screen/stop.h"
#include "screen/term.h"
#include "programs/terrarium/driver.h"
#include "terrarium/mate_die.h"
#include "terrarium/rules.h"
#include "programs/vivarium/driver.h"
#include "vivarium/mate_die.h"
#include "vivarium/rules.h"

namespace {

// The worlds of the tests and the session on one of them: a session is
// closed before its world or its screen goes.
std::unique_ptr<common::world_base> the_world;
std::unique_ptr<common::session> the_session;

template <class World>
World &replace_world(std::unique_ptr<World> made)
{
    the_session.reset(), common::headless_hooks();
    return static_cast<World &>(*(the_world = std::move(made)));
}

}  // namespace

void fresh_screen(int lines, int cols)
{
    the_session.reset();
    common::headless_hooks();
    ASSERT_TRUE(common::open_null_terminal(lines, cols));
}

common::world_base &current_world() { return *the_world; }

void draw(const std::vector<std::string> &rows)
{
    for (size_t row = 0; row < rows.size(); row++)
        for (size_t col = 0; col < rows[row].size(); col++)
            if (rows[row][col] != ' ')
                the_world->map.write(static_cast<int>(row), static_cast<int>(col), rows[row][col]);
}

ending ending_of(const std::function<void()> &call)
{
    std::FILE *said = std::tmpfile();
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        common::way_out = {};
        dup2(fileno(said), STDERR_FILENO);
        call();
        _exit(255);
    }
    int status = -1;
    waitpid(child, &status, 0);
    std::string text(static_cast<size_t>(std::ftell(said)), '\0');
    std::rewind(said);
    text.resize(std::fread(&text[0], 1, text.size(), said));
    std::fclose(said);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

template <class Bug>
typename side<Bug>::world &side<Bug>::w()
{
    return static_cast<world &>(*the_world);
}

template <class Bug>
std::vector<Bug **> side<Bug>::pointers()
{
    std::vector<Bug **> all;
    w().refs.each([&](Bug *&p) { all.push_back(&p); });
    return all;
}

template <class Bug>
void side<Bug>::blank(int rows, int cols, int lines, int screen_cols)
{
    world &made = replace_world(std::make_unique<world>());
    made.screen_lines = lines, made.screen_cols = screen_cols;
    made.map.plan(rows, cols), made.open(1), made.index.reset(cols);
}

template <class Bug>
Bug *side<Bug>::add(int y, int x, char race, int facing)
{
    Bug *b = static_cast<Bug *>(std::calloc(1, sizeof(Bug)));
    b->x = x, b->y = y, b->facing = facing, b->race = race;
    b->size = 10, b->food = 1000, b->gen = 1, b->id = w().next_id++;
    if constexpr (std::is_same_v<Bug, terrarium::bug>) {
        b->vision = 5;
        for (int code = 'A'; code <= 'Z'; code++)
            b->motive[code] = 5;
        terrarium::attraction(b, '@') = 15;
    } else {
        b->food_glyph = '@';
        w().population++;
    }
    bool empty = cursor() == nullptr;
    common::append_bug(cursor(), b);
    w().index.make_room();
    w().index.add_linked(b);
    if (empty)
        w().refs.point_all_at(b);
    return b;
}

template <class Bug>
void side<Bug>::seeded(unsigned seed, int lines, int cols, float size)
{
    std::unique_ptr<world> made = std::make_unique<world>();
    if constexpr (std::is_same_v<Bug, terrarium::bug>)
        made->shape.world_size = size;
    common::start_seeded(replace_world(std::move(made)), rules, seed, lines, cols);
}

template <class Bug>
common::session &side<Bug>::session()
{
    if (the_session == nullptr) {
        world &shown = w();
        fresh_screen(shown.screen_lines, shown.screen_cols);
        the_session = std::make_unique<common::session>(program, shown);
        EXPECT_TRUE(the_session->view.open(shown.map));
        common::enter_loop(*the_session);
    }
    return *the_session;
}

// Each program's members of its side.
#define PROGRAM_SIDE(ns)                                                                                      \
    template <> const char *const side<ns::bug>::name = #ns;                                                  \
    template <> const common::rules &side<ns::bug>::rules = ns::world_rules;                                  \
    template <> const common::program &side<ns::bug>::program = ns::ns##_program;                             \
    template <> void (*const side<ns::bug>::turn_of)(ns::world &) = ns::turn;                                 \
    template <> void (*const side<ns::bug>::ageing_step_of)(ns::world &) = ns::ageing_step;                   \
    template <> void (*const side<ns::bug>::mate_of)(ns::world &) = ns::mate;                                 \
    template <> void (*const side<ns::bug>::die_of)(ns::world &, ns::bug *, const ns::bug *) = ns::die;        \
    template struct side<ns::bug>;

PROGRAM_SIDE(terrarium)
PROGRAM_SIDE(vivarium)

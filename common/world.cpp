#include "common/world.h"

#include <cctype>
#include <ctime>
#include <string>

#include "common/colour.h"
#include "common/kb.h"

namespace common {

namespace {

// TERRARIUM_COLOR for terrarium.
std::string colour_variable(const char *program)
{
    std::string name;
    for (const char *c = program; *c != '\0'; c++)
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    return name + "_COLOR";
}

}  // namespace

void start_up(const char *program, void (*set_world_size)(), void (*start)())
{
    open_terminal(program);
    set_up_colour(colour_variable(program).c_str());
    set_world_size();
    if (!init_kb())
        stop_with(EXIT_NO_TERMINAL, (std::string(program) + ": cannot put the terminal into raw mode\n").c_str());
    open_world(static_cast<unsigned>(std::time(nullptr)));
    start();
}

}  // namespace common

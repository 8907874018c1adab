#include "common/world.h"

#include <ctime>
#include <string>

#include "common/kb.h"

namespace common {

void start_up(const char *program, void (*set_world_size)(), void (*start)())
{
    open_terminal(program);
    set_world_size();
    if (!init_kb())
        stop_with(EXIT_NO_TERMINAL, (std::string(program) + ": cannot put the terminal into raw mode\n").c_str());
    open_world(static_cast<unsigned>(std::time(nullptr)));
    start();
}

}  // namespace common

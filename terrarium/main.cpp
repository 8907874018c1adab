#include <cstdio>

#include "common/loop.h"
#include "common/streams.h"
#include "terrarium/driver.h"
#include "terrarium/init.h"

int main(int argc, char *argv[])
{
    common::open_standard_streams();
    terrarium::options chosen;
    const char *message = nullptr;
    int status = terrarium::parse_options(argc, argv, &chosen, &message);
    if (status != 0) {
        std::fputs(message, stderr);
        return status;
    }
    if (chosen.asked != common::request::run)
        return common::answer(chosen.asked, "terrarium", terrarium::usage);
    terrarium::apply_options(chosen);
    terrarium::init();
    terrarium::enter_loop();
    common::main_loop();
}

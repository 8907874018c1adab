#include <cstdio>

#include "terrarium/driver.h"
#include "terrarium/init.h"

int main(int argc, char *argv[])
{
    const char *message = nullptr;
    int status = terrarium::parse_options(argc, argv, &message);
    if (status != 0) {
        std::fputs(message, stderr);
        return status;
    }
    terrarium::init();
    terrarium::enter_loop();
    terrarium::main_loop();
}

// vivarium: the earlier generation of the bug simulation. It takes no
// options; its world follows from the screen's size.
#include "common/loop.h"
#include "vivarium/driver.h"
#include "vivarium/init.h"

int main()
{
    vivarium::init();
    vivarium::enter_loop();
    common::main_loop();
}

// vivarium: the earlier generation of the bug simulation. It takes no
// options; its world follows from the screen's size. Of its command line
// it reads only a request for the usage text or the version.
#include "common/loop.h"
#include "common/startup.h"
#include "common/streams.h"
#include "common/usage.h"
#include "vivarium/driver.h"
#include "vivarium/init.h"
#include "vivarium/rules.h"

int main(int argc, char *argv[])
{
    common::open_standard_streams();
    for (int i = 1; i < argc; i++) {
        common::request asked = common::request_of(argv[i]);
        if (asked != common::request::run)
            return common::answer(asked, "vivarium", vivarium::usage);
    }
    vivarium::world world;
    common::session session(vivarium::vivarium_program, world);
    common::start_up(world, vivarium::world_rules, session.view);
    common::enter_loop(session);
    common::main_loop(session);
}

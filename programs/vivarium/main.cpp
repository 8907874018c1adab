// vivarium: the earlier generation of the bug simulation. It takes no
// options; its world follows from the screen's size. Of its command line
// it reads only a request for the usage text or the version, and
// --resume FILE, a saved world to run on.
#include <cstring>

#include "screen/loop.h"
#include "screen/startup.h"
#include "screen/stop.h"
#include "common/streams.h"
#include "common/usage.h"
#include "programs/vivarium/driver.h"
#include "vivarium/init.h"

int main(int argc, char *argv[])
{
    if (!common::open_standard_streams())
        return 1;
    const char *resume = nullptr;
    for (int i = 1; i < argc; i++) {
        common::request asked = common::request_of(argv[i]);
        if (asked != common::request::run)
            return common::answer(asked, "vivarium", vivarium::usage);
        if (std::strcmp(argv[i], "--resume") == 0) {
            if (i + 1 == argc || *argv[i + 1] == '\0')
                common::stop_with(common::EXIT_BAD_ARGS, "usage: vivarium [--resume FILE]\n");
            resume = argv[++i];
        }
    }
    vivarium::world world;
    common::session session(vivarium::vivarium_program, world);
    common::run_session(session, resume);
}

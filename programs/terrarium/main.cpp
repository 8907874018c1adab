#include "screen/loop.h"
#include "screen/startup.h"
#include "screen/stop.h"
#include "common/streams.h"
#include "programs/terrarium/driver.h"
#include "terrarium/init.h"

int main(int argc, char *argv[])
{
    if (!common::open_standard_streams())
        return 1;
    terrarium::options chosen;
    const char *message = nullptr;
    int status = terrarium::parse_options(argc, argv, &chosen, &message);
    if (status != 0)
        common::stop_with(status, message);
    if (chosen.asked != common::request::run)
        return common::answer(chosen.asked, "terrarium", terrarium::usage);
    terrarium::world world(chosen);
    common::session session(terrarium::terrarium_program, world);
    common::run_session(session, chosen.resume);
}

#include "common/autosave.h"
#include "common/loop.h"
#include "common/startup.h"
#include "common/stop.h"
#include "common/streams.h"
#include "terrarium/driver.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"

int main(int argc, char *argv[])
{
    common::open_standard_streams();
    terrarium::options chosen;
    const char *message = nullptr;
    int status = terrarium::parse_options(argc, argv, &chosen, &message);
    if (status != 0)
        common::stop_with(status, message);
    if (chosen.asked != common::request::run)
        return common::answer(chosen.asked, "terrarium", terrarium::usage);
    common::autosave saves("terrarium");
    terrarium::world world(chosen);
    common::session session(terrarium::terrarium_program, world);
    if (chosen.resume != nullptr)
        common::resume(session, chosen.resume);
    else
        common::start_up(world, terrarium::world_rules, session.view);
    session.saves = &saves;
    saves.begin(session);
    common::enter_loop(session);
    common::main_loop(session);
}

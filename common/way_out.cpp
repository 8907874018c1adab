#include "common/way_out.h"

namespace common {

way_out_slots way_out;

int leave(int status, bool in_signal_handler, std::string *complaint)
{
    if (!in_signal_handler && way_out.saves != nullptr)
        status = way_out.saves->say(status, complaint);
    if (way_out.log != nullptr) {
        if (in_signal_handler)
            way_out.log->say_in_signal_handler(status);
        else
            status = way_out.log->say(status, complaint);
    }
    if (way_out.lineage != nullptr) {
        if (in_signal_handler)
            way_out.lineage->say_in_signal_handler(status);
        else
            status = way_out.lineage->say(status, complaint);
    }
    if (way_out.give_back_terminal != nullptr)
        way_out.give_back_terminal(in_signal_handler);
    return status;
}

}  // namespace common

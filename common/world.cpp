#include "common/world.h"

namespace common {

outcome world_base::open(unsigned seed)
{
    random.reseed(seed);
    if (!map.open()) {
        outcome = outcome::too_large;
        outcome_message = "world too large\n";
    }
    return outcome;
}

}  // namespace common

#include "common/world.h"

#include "common/stop.h"

namespace common {

void world_base::open(unsigned seed)
{
    random.reseed(seed);
    if (!map.open())
        stop_with(EXIT_WORLD_TOO_LARGE, "world too large\n");
}

}  // namespace common

#include "vivarium/food.h"

#include "common/food.h"
#include "vivarium/globals.h"

namespace vivarium {

void placefood() { place_food(world_pad, map_rows, map_cols); }

void growfood() { grow_food(world_pad, map_rows, map_cols); }

}  // namespace vivarium

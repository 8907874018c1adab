#include "terrarium/food.h"

#include "common/food.h"
#include "terrarium/globals.h"

namespace terrarium {

void placefood() { place_food(world_pad, world_row, world_col); }

void growfood() { grow_food(world_pad, world_row, world_col); }

}  // namespace terrarium

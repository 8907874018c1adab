// The food cycle on terrarium's map.
#pragma once

namespace terrarium {

void placefood();  // a seedling on a random blank cell, 2 times in 11
void growfood();   // every food cell one stage on; ripe cells sow

}  // namespace terrarium

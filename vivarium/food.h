// The food cycle on vivarium's map.
#pragma once

namespace vivarium {

void placefood();  // a seedling on a random blank cell, 2 times in 11
void growfood();   // every food cell one stage on; ripe cells sow

}  // namespace vivarium

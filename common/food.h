// The food cycle on the world map. Food lives only as glyphs: '.'
// seedling, '*' sprout, '@' ripe.
#pragma once

namespace common {

struct world_base;

// Plants a seedling on a random blank cell in 2 calls out of 11.
void placefood(world_base &w);

// Moves every food cell one stage on and lets ripe cells sow their blank
// neighbours, as three sweeps with '!' marking ripening sprouts would;
// no '!' is left.
void growfood(world_base &w);

}  // namespace common

// The motivation table viewer.
#pragma once

#include "terrarium/world.h"

namespace terrarium {

// Shows b's non-zero attractions, four to a row in glyph order, in a
// bordered window for 10 seconds, then deletes the window
// without repainting what lies under it.
void view_t(const bug *b);

}  // namespace terrarium

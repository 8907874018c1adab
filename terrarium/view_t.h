// The motivation table viewer.
#pragma once

#include "terrarium/globals.h"

namespace terrarium {

// Shows b's non-zero attractions for 10 seconds.
void view_t(bug *b);

}  // namespace terrarium

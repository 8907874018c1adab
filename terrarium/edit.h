// The gene editor.
#pragma once

#include "terrarium/globals.h"

namespace terrarium {

// Asks for a new race and each of the 25 genes of b, storing the answers.
void edit(bug *b);

}  // namespace terrarium

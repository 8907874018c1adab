// The interactive terrarium: its own key commands on top of the shared
// ones, the statistics screen and the gene editor.
#pragma once

#include "screen/loop.h"

namespace terrarium {

extern const common::program terrarium_program;

}  // namespace terrarium

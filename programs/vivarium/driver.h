// The interactive vivarium: its own key commands on top of the shared
// ones, the statistics screen and the gene editor.
#pragma once

#include "screen/loop.h"

namespace vivarium {

extern const common::program vivarium_program;

}  // namespace vivarium

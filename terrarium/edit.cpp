#include "terrarium/edit.h"

namespace terrarium {

void edit(bug *) {}

}  // namespace terrarium

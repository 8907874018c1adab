#include "terrarium/view_t.h"

namespace terrarium {

void view_t(bug *) {}

}  // namespace terrarium

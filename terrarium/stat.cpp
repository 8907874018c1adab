#include "terrarium/stat.h"

namespace terrarium {

void stat() {}

}  // namespace terrarium

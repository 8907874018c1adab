// The programs whose worlds the tools run, each registered here once by
// its rules.
#pragma once

#include <string>

#include "common/rules.h"
#include "terrarium/rules.h"
#include "vivarium/rules.h"

namespace tools {

inline const common::rules *const programs[] = {&terrarium::world_rules, &vivarium::world_rules};

// The rules of the program called `name`; null for none.
inline const common::rules *program_named(const std::string &name)
{
    for (const common::rules *r : programs)
        if (name == r->name)
            return r;
    return nullptr;
}

}  // namespace tools

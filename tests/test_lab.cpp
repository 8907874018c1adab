// The settings of the environment: a bad one is refused with one line and
// status 12 (the logs themselves are checked by tests/lab/lab.sh).
#include <gtest/gtest.h>

#include "common/world.h"
#include "terrarium/init.h"
#include "tests/support/world.h"
#include "vivarium/init.h"

TEST(Environment, ABadSeedOrLogIsRefusedWithOneLineAndStatus12)
{
    fresh_screen();
    auto refusal = [](const char *name, const char *value, void (*init)()) {
        setenv(name, value, 1);
        common::stopped stop = stop_of(init);
        unsetenv(name);
        EXPECT_EQ(stop.status, 12) << name << "=" << value;
        return stop.message;
    };
    for (const char *seed : {"", "-1", "+1", " 1", "1 ", "0x10", "1e3", "12a", "4294967296", "99999999999999999999"})
        EXPECT_EQ(refusal("TERRARIUM_SEED", seed, terrarium::init),
                  "terrarium: TERRARIUM_SEED must be a number from 0 to 4294967295\n") << seed;
    EXPECT_EQ(refusal("VIVARIUM_SEED", "x", vivarium::init),
              "vivarium: VIVARIUM_SEED must be a number from 0 to 4294967295\n");
    EXPECT_EQ(refusal("TERRARIUM_LOG", "/nonexistent/run.csv", terrarium::init),
              "terrarium: TERRARIUM_LOG: cannot open '/nonexistent/run.csv': No such file or directory\n");
    unsigned seed = 1;
    for (auto [text, value] : {std::pair{"0", 0u}, {"007", 7u}, {"4294967295", 4294967295u}})
        EXPECT_TRUE(common::parse_seed(text, &seed) && seed == value) << text;
    common::hooks = common::default_hooks;
}

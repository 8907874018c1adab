// Command-line options of terrarium: values, ranges, messages and statuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terrarium/globals.h"
#include "terrarium/init.h"

using namespace terrarium;

namespace {

struct parsed {
    int status;
    std::string message;
};

parsed parse(std::vector<const char *> args)
{
    args.insert(args.begin(), "terrarium");
    const char *message = nullptr;
    int status = parse_options(static_cast<int>(args.size()), args.data(), &message);
    return {status, status ? message : ""};
}

}  // namespace

TEST(Options, DefaultsWithNoArguments)
{
    EXPECT_EQ(parse({}).status, 0);
    EXPECT_FLOAT_EQ(world_size, 2.0f);
    EXPECT_EQ(roughness, 150);
    EXPECT_EQ(grid_size, 4);
}

TEST(Options, StatusAndMessageMatrix)
{
    struct row {
        std::vector<const char *> args;
        int status;
        const char *message;
    };
    const row rows[] = {
        {{"-s", ".25"}, 0, ""},
        {{"-s", "30"}, 0, ""},
        {{"-s", "0.24"}, 3, "try -s [.25-30]\n"},
        {{"-s", "30.01"}, 3, "try -s [.25-30]\n"},
        {{"-s", "abc"}, 3, "try -s [.25-30]\n"},
        {{"-s", "nan"}, 3, "try -s [.25-30]\n"},
        {{"-s", "NAN"}, 3, "try -s [.25-30]\n"},
        {{"-s", "inf"}, 3, "try -s [.25-30]\n"},
        {{"-s", "-inf"}, 3, "try -s [.25-30]\n"},
        {{"-s", "1e400"}, 3, "try -s [.25-30]\n"},
        {{"-s", "0x10"}, 3, "try -s [.25-30]\n"},
        {{"-s", "  1.5xyz"}, 0, ""},
        {{"-s", "3e1"}, 0, ""},
        {{"-r", "1"}, 0, ""},
        {{"-r", "1000"}, 0, ""},
        {{"-r", "0"}, 5, "try -r [1-1000]\n"},
        {{"-r", "1001"}, 5, "try -r [1-1000]\n"},
        {{"-r", "x"}, 5, "try -r [1-1000]\n"},
        {{"-r", "4294967297"}, 5, "try -r [1-1000]\n"},
        {{"-r", "99999999999999999999999"}, 5, "try -r [1-1000]\n"},
        {{"-r", "-4294967295"}, 5, "try -r [1-1000]\n"},
        {{"-r", "0x10"}, 5, "try -r [1-1000]\n"},
        {{"-g", "2"}, 0, ""},
        {{"-g", "8"}, 0, ""},
        {{"-g", "1"}, 6, "try -g [2-8]\n"},
        {{"-g", "9"}, 6, "try -g [2-8]\n"},
        {{"-g", "4294967299"}, 6, "try -g [2-8]\n"},
        {{"-s2"}, 4, "bad args\n"},
        {{"foo"}, 4, "bad args\n"},
        {{"-r", "0", "foo"}, 5, "try -r [1-1000]\n"},
        {{"foo", "-r", "0"}, 4, "bad args\n"},
        {{"-s"}, 3, "try -s [.25-30]\n"},
        {{"-r"}, 5, "try -r [1-1000]\n"},
        {{"-g"}, 6, "try -g [2-8]\n"},
        {{"-r", "10", "-g"}, 6, "try -g [2-8]\n"},
        {{"-r", "1", "-r", "1", "-r", "1", "-r"}, 2, "I'm confused too many args\n"},
        {{"a", "b", "c", "d", "e", "f", "g"}, 2, "I'm confused too many args\n"},
        {{"-r", "1", "-g", "2", "-s", "1"}, 0, ""},
    };
    for (const row &r : rows) {
        std::string name;
        for (const char *a : r.args)
            name += std::string(a) + " ";
        parsed p = parse(r.args);
        EXPECT_EQ(p.status, r.status) << name;
        EXPECT_EQ(p.message, r.message) << name;
    }
}

TEST(Options, ValuesTakenAndLastWins)
{
    ASSERT_EQ(parse({"-r", "10", "-r", "20"}).status, 0);
    EXPECT_EQ(roughness, 20);
    ASSERT_EQ(parse({"-g", "3x"}).status, 0);
    EXPECT_EQ(grid_size, 3);
    ASSERT_EQ(parse({"-s", "0.7"}).status, 0);
    EXPECT_EQ(world_size, 0.7f);
    ASSERT_EQ(parse({"-r", " 42"}).status, 0);
    EXPECT_EQ(roughness, 42);
}

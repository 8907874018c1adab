// The food cycle on small hand-made maps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "terrarium/food.h"
#include "terrarium/globals.h"
#include "terrarium/init.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using namespace terrarium_test;

namespace {

// Makes a map from text rows (all of one width).
void map_of(const std::vector<std::string> &rows)
{
    blank_world(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
    for (int r = 0; r < world_row; r++)
        for (int c = 0; c < world_col; c++)
            if (rows[r][c] != ' ')
                put(r, c, rows[r][c]);
}

std::vector<std::string> map_text()
{
    std::vector<std::string> rows;
    for (int r = 0; r < world_row; r++)
        rows.push_back(row_text(r));
    return rows;
}

}  // namespace

TEST(Food, GrowthAndSowingSequences)
{
    struct row {
        const char *name;
        std::vector<std::string> before;
        int calls;
        std::vector<std::string> after;
    };
    const row rows[] = {
        {"a seedling becomes a sprout", {"     ", "  .  ", "     "}, 1, {"     ", "  *  ", "     "}},
        {"two calls ripen it", {"     ", "  .  ", "     "}, 2, {"     ", "  @  ", "     "}},
        {"a third call sows its blank neighbours", {"     ", "  .  ", "     "}, 3,
         {"  .  ", " .@. ", "  .  "}},
        {"the fifth call ripens them", {"     ", "  .  ", "     "}, 5, {"  @  ", " @@@ ", "  @  "}},
        {"a sprout ripening in the call sows nothing yet", {"     ", "  *  ", "     "}, 1,
         {"     ", "  @  ", "     "}},
        {"ripe in row 0 sows into the last row", {" @ ", "   ", "   ", "   "}, 1,
         {".@.", " . ", "   ", " . "}},
        {"ripe in the last column sows into column 0", {"    ", "   @", "    "}, 1,
         {"   .", ". .@", "   ."}},
        {"no blank neighbour, no seed", {" ~ ", "#@A", " * "}, 1, {" ~ ", "#@A", " @ "}},
        {"a blank between two ripe cells gets one seedling", {"@ @", "~~~"}, 1, {"@.@", "~~~"}},
        {"seeds fall only on blanks", {"#.#", "*@~", "#Q#"}, 1, {"#*#", "@@~", "#Q#"}},
    };
    for (const row &r : rows) {
        map_of(r.before);
        for (int i = 0; i < r.calls; i++)
            growfood();
        EXPECT_EQ(map_text(), r.after) << r.name;
        free_world();
    }
}

TEST(Food, NoMarkIsLeftAfterGrowth)
{
    map_of({"*.*.*", ".@*@.", "*****"});
    growfood();
    for (const std::string &text : map_text())
        EXPECT_EQ(text.find('!'), std::string::npos) << text;
    free_world();
}

TEST(Food, PlantingHitsOnlyBlankCells)
{
    map_of({"~~~~~~~~", "~~~~~~~~", "~~~~~~~~"});
    std::srand(1);
    for (int i = 0; i < 1000; i++)
        placefood();
    EXPECT_EQ(map_text(), (std::vector<std::string>{"~~~~~~~~", "~~~~~~~~", "~~~~~~~~"}));
    free_world();

    blank_world(100, 100);
    std::srand(2);
    for (int i = 0; i < 1100; i++)
        placefood();
    int seedlings = 0;
    for (const std::string &text : map_text())
        for (char c : text) {
            EXPECT_TRUE(c == ' ' || c == '.') << c;
            seedlings += c == '.';
        }
    EXPECT_GT(seedlings, 150) << "about 2 calls in 11 plant";
    EXPECT_LT(seedlings, 250);
    free_world();
}

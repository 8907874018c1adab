// What lies around the simulation: the raw keyboard, popups, the command
// line, the environment and the world's size, the food cycle and the
// terrain's glyphs.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "common/food.h"
#include "common/hooks.h"
#include "common/kb.h"
#include "common/popup.h"
#include "common/world.h"
#include "terrarium/init.h"
#include "terrarium/terrain.h"
#include "tests/support/pty_keyboard.h"
#include "tests/support/world.h"
#include "vivarium/init.h"
#include "vivarium/terrain.h"

TEST(Kb, RawModeKeysOneAtATimeAndEveryFieldBack)
{
    pty_keyboard keyboard;
    termios found{}, raw{};  // whole records compared, padding included
    common::read_setting(&found);
    found.c_lflag |= XCASE;  // unlike the defaults
    common::apply_setting(found);
    common::read_setting(&found);
    ASSERT_TRUE(common::save_setting() && common::init_kb());
    termios want = found;
    want.c_lflag &= ~static_cast<tcflag_t>(ISIG | ICANON | XCASE);
    want.c_cc[VMIN] = 1;
    want.c_cc[VTIME] = 0;
    EXPECT_TRUE(common::read_setting(&raw) && std::memcmp(&raw, &want, sizeof raw) == 0) << "only those bits";
    EXPECT_EQ(common::kb_hit(), 0);
    EXPECT_TRUE(common::read_setting(&raw) && raw.c_cc[VMIN] == 1) << "blocking again after a poll";
    // One key per poll, however many wait, each as its signed char value:
    // 0xFF is a key, not "empty", and a held key is not read twice.
    keyboard.type("a\xff\x03\x80");
    EXPECT_EQ(common::kb_hit() + common::kb_hit(), 2);
    EXPECT_EQ(pty_keyboard::waiting(), 3);
    for (int want_key : {int{'a'}, -1, 3, -128}) {
        EXPECT_EQ(common::kb_hit() + common::kb_hit(), 2);
        EXPECT_EQ(common::read_kb(), want_key);
    }
    EXPECT_EQ(common::kb_hit(), 0);
    EXPECT_EQ(common::close_kb(), 0);
    EXPECT_TRUE(common::read_setting(&raw) && std::memcmp(&raw, &found, sizeof raw) == 0) << "every field back";
}

TEST(Popup, BorderedTextAtRowFiveColumnTenForItsSecondsMovedAndCutToFit)
{
    fresh_screen();
    static unsigned slept;
    common::hooks.sleep_seconds = [](unsigned s) { slept += s; };
    auto screen = [](int row, int col, int n) {
        std::string text;
        for (int i = 0; i < n; i++)
            text += static_cast<char>(mvwinch(curscr, row, col + i) & A_CHARTEXT);
        return text;
    };
    common::dopopup("hello", 3);
    EXPECT_EQ(screen(5, 10, 10) + screen(6, 9, 11) + screen(7, 10, 9), "l-------k  | hello | m-------j");
    common::dopopup(common::text_of("%s%d", std::string(500, 'w').c_str(), 7).c_str(), 1);
    EXPECT_EQ(screen(6, 0, 80), "| " + std::string(77, 'w') + "|") << "moved left and cut at its border";
    EXPECT_EQ(slept, 4u);
    fresh_screen(4, 30);
    common::hooks.sleep_seconds = [](unsigned) {};
    common::dopopup("", 1);
    EXPECT_EQ(screen(1, 10, 5) + screen(2, 10, 5) + screen(3, 10, 5), "l--k |  | m--j ") << "empty, moved up";
    common::hooks = common::default_hooks;
}

TEST(Options, StatusMessageAndValues)
{
    struct row {
        std::vector<const char *> args;
        int status;
        float size;
        int roughness, grid;
    };
    const row rows[] = {
        {{}, 0, 2.0f, 150, 4},                        {{"-s", ".25"}, 0, 0.25f, 150, 4},
        {{"-s", "30"}, 0, 30.0f, 150, 4},             {{"-s", "  1.5xyz"}, 0, 1.5f, 150, 4},
        {{"-s", "3e1"}, 0, 30.0f, 150, 4},            {{"-s", "0.7"}, 0, 0.7f, 150, 4},
        {{"-r", "10", "-r", "20"}, 0, 2.0f, 20, 4},   {{"-g", "3x", "-r", " 42"}, 0, 2.0f, 42, 3},
        {{"-r", "1", "-g", "8", "-s", "1"}, 0, 1.0f, 1, 8},
        {{"-r", "1000", "-g", "2"}, 0, 2.0f, 1000, 2},
        {{"-s", "0.24"}, 3, 0, 0, 0},   {{"-s", "30.01"}, 3, 0, 0, 0}, {{"-s", "abc"}, 3, 0, 0, 0},
        {{"-s", "nan"}, 3, 0, 0, 0},    {{"-s", "inf"}, 3, 0, 0, 0},   {{"-s", "1e400"}, 3, 0, 0, 0},
        {{"-s", "0x10"}, 3, 0, 0, 0},   {{"-s"}, 3, 0, 0, 0},          {{"-r", "0"}, 5, 0, 0, 0},
        {{"-r", "1001"}, 5, 0, 0, 0},   {{"-r", "x"}, 5, 0, 0, 0},     {{"-r", "4294967297"}, 5, 0, 0, 0},
        {{"-r", "-4294967295"}, 5, 0, 0, 0}, {{"-r", "99999999999999999999999"}, 5, 0, 0, 0},
        {{"-r", "10", "-g"}, 6, 0, 0, 0}, {{"-g", "1"}, 6, 0, 0, 0}, {{"-g", "9"}, 6, 0, 0, 0},
        {{"-g", "4294967299"}, 6, 0, 0, 0}, {{"-s2"}, 4, 0, 0, 0},     {{"-r", "0", "foo"}, 5, 0, 0, 0},
        {{"foo", "-r", "0"}, 4, 0, 0, 0}, {{"a", "b", "c", "d", "e", "f", "g"}, 2, 0, 0, 0},
        {{"-r", "20", "--help", "foo"}, 0, 2.0f, 20, 4}, {{"-s", "-h"}, 3, 0, 0, 0},  // help ends the reading
    };
    const char *messages[] = {"", "", "I'm confused too many args\n", "try -s [.25-30]\n",
                              "bad args\nusage: terrarium [-s world_size] [-r roughness] [-g grid_size]\n",
                              "try -r [1-1000]\n", "try -g [2-8]\n"};
    for (const row &r : rows) {
        std::vector<const char *> argv{"terrarium"};
        argv.insert(argv.end(), r.args.begin(), r.args.end());
        std::string name;
        for (const char *a : r.args)
            name += std::string(a) + " ";
        terrarium::options chosen;
        const char *message = "";
        EXPECT_EQ(terrarium::parse_options(static_cast<int>(argv.size()), argv.data(), &chosen, &message), r.status)
            << name;
        EXPECT_STREQ(message, messages[r.status]) << name;
        if (r.status == 0) {
            EXPECT_EQ(chosen.world_size, r.size) << name;
            EXPECT_EQ(chosen.roughness * 10 + chosen.grid_size, r.roughness * 10 + r.grid) << name;
        }
    }
}

TEST(WorldSize, FollowsTheScreen)
{
    struct row {
        float size;
        int lines, cols, rows, map_cols;  // rows 0: refused, "world too small"
    };
    const row rows[] = {
        {2.0f, 24, 80, 48, 160}, {0.7f, 24, 80, 16, 55},  // 0.7f is 0.699999988: 55.99 truncates to 55
        {0.25f, 24, 80, 6, 20},  {30, 60, 200, 1800, 6000}, {1.1f, 24, 80, 26, 88},
        {1, 10, 10, 10, 10},     {0.25f, 10, 20, 0, 0},     // 10 x 10 is the least that runs
        {0.74f, 10, 20, 0, 0},  // 14 x 7: -s 0.75 gives 15 x 7
    };
    for (const row &r : rows) {
        terrarium::options chosen;
        chosen.world_size = r.size;
        terrarium::apply_options(chosen);
        fresh_screen(r.lines, r.cols);
        common::stopped stop = stop_of(terrarium::set_world_size);
        EXPECT_EQ(stop.status, r.rows ? -1 : 8) << r.size;
        if (r.rows == 0) {
            EXPECT_EQ(stop.message, "world too small\nthe terminal is 20x10: try -s 0.75 or more\n");
            continue;
        }
        EXPECT_EQ(common::world_row * 10000 + common::world_col, r.rows * 10000 + r.map_cols) << r.size;
    }
    terrarium::apply_options({});
    // vivarium: ten times the screen, rounded down to a multiple of 8, plus 9.
    const int extents[][2] = {{24, 249}, {25, 257}, {80, 809}, {81, 817}, {1, 17}, {8, 89}};
    for (const auto &e : extents)
        EXPECT_EQ(vivarium::world_extent(e[0]), e[1]) << e[0];
}

TEST(Food, GrowsAsThreeSweepsWouldOnRandomMaps)
{
    std::mt19937 random(3);
    const int sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {2, 5}, {3, 3}, {13, 17}, {48, 160}};
    for (const auto &size : sizes)
        for (const std::string alphabet : {" .*@", " .*!@~#AZ", " @"}) {
            int rows = size[0], cols = size[1];
            terrarium_side::blank(rows, cols);
            std::vector<std::string> map(rows, std::string(cols, ' '));
            for (std::string &line : map)
                for (char &c : line)
                    c = alphabet[random() % alphabet.size()];
            draw(map);
            for (int call = 0; call < 3; call++) {
                // The three sweeps, columns outer, rows inner.
                for (std::string &line : map)
                    for (char &c : line)
                        c = c == '*' ? '!' : (c == '.' ? '*' : c);
                for (int x = 0; x < cols; x++)
                    for (int y = 0; y < rows; y++)
                        if (map[y][x] == '@')
                            for (auto [dy, dx] : {std::pair{-1, 0}, {0, 1}, {1, 0}, {0, -1}}) {
                                char &n = map[(y + dy + rows) % rows][(x + dx + cols) % cols];
                                n = n == ' ' ? '.' : n;
                            }
                for (std::string &line : map)
                    for (char &c : line)
                        c = c == '!' ? '@' : c;
                common::growfood();
                for (int y = 0; y < rows; y++)
                    ASSERT_EQ(std::string(common::map_row(y), cols), map[y])
                        << rows << " x " << cols << " '" << alphabet << "' call " << call << " row " << y;
            }
        }
}

TEST(Terrain, GlyphsOfHeightsTheOpenGroundThatIsEnoughAndTheWrap)
{
    const int wraps[][3] = {{-1, 5, 4}, {-5, 5, 0}, {-11, 5, 4}, {7, 5, 2}, {10, 5, 0}, {5, 5, 0}, {3, 1, 0}};
    for (const auto &w : wraps)
        EXPECT_EQ(common::wrap(w[0], w[1]), w[2]) << w[0] << " by " << w[1];
    const std::pair<int, char> heights[] = {{-50, '~'}, {19, '~'}, {20, ' '}, {80, ' '}, {81, '#'}, {130, '#'}};
    for (const auto &[height, glyph] : heights)
        EXPECT_EQ(vivarium::terrain_glyph(height), glyph) << height;
    EXPECT_FALSE(terrarium::enough_ground(7680, 7680 - 768, 0)) << "768 free cells of 7680";
    EXPECT_TRUE(terrarium::enough_ground(7680, 7680 - 769, 0)) << "769 free cells of 7680";
    EXPECT_FALSE(terrarium::enough_ground(200, 100, 80));
    for (int k : {4, 2, 1})  // uniform over -2k to 2k
        EXPECT_EQ(std::vector<int>({vivarium::displacement(0, k), vivarium::displacement(4 * k, k),
                                    vivarium::displacement(4 * k + 1, k)}),
                  std::vector<int>({-2 * k, 2 * k, -2 * k}));
}

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

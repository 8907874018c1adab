// Around the simulation: the raw keyboard, popups, the command line, the
// environment, the world's size, the food cycle and the terrain.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>

#include "common/food.h"
#include "common/hooks.h"
#include "screen/kb.h"
#include "screen/term.h"
#include "screen/popup.h"
#include "common/text.h"
#include "common/random.h"
#include "screen/startup.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"
#include "terrarium/terrain.h"
#include "tests/support/pty_keyboard.h"
#include "tests/support/world.h"
#include "vivarium/init.h"
#include "vivarium/rules.h"
#include "vivarium/terrain.h"
#include "storage/run_log.h"

TEST(Kb, RawModeKeysOneAtATimeAndEveryFieldBack)
{
    pty_keyboard keyboard;
    termios found{}, raw{};  // whole records compared, padding included
    common::read_setting(&found);
    found.c_lflag |= XCASE;  // unlike the defaults
    found.c_iflag |= IXON | IXOFF;
    common::apply_setting(found);
    common::read_setting(&found);
    ASSERT_TRUE(common::save_setting() && common::init_kb());
    termios want = found;
    want.c_lflag &= ~static_cast<tcflag_t>(ISIG | ICANON | XCASE);
    want.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);  // Ctrl-S and Ctrl-Q are keys
    want.c_cc[VMIN] = 1;
    want.c_cc[VTIME] = 0;
    EXPECT_TRUE(common::read_setting(&raw) && std::memcmp(&raw, &want, sizeof raw) == 0) << "only those bits";
    EXPECT_EQ(common::kb_hit(), 0);
    EXPECT_TRUE(common::read_setting(&raw) && raw.c_cc[VMIN] == 1) << "blocking again after a poll";
    // One key per poll, as its signed char: 0xFF is a key, not "empty"; a held key is not read twice.
    keyboard.type("a\xff\x03\x80");
    EXPECT_EQ(common::kb_hit() + common::kb_hit(), 2);
    EXPECT_EQ(pty_keyboard::waiting(), 3);
    for (int want_key : {int{'a'}, -1, 3, -128}) {
        EXPECT_EQ(common::kb_hit() + common::kb_hit(), 2);
        EXPECT_EQ(common::read_kb(), want_key);
    }
    EXPECT_EQ(common::kb_hit(), 0);
    keyboard.type("r");
    EXPECT_EQ(common::read_kb(), 'r') << "a read without a poll";
    EXPECT_EQ(common::close_kb(), 0);
    EXPECT_TRUE(common::read_setting(&raw) && std::memcmp(&raw, &found, sizeof raw) == 0) << "every field back";
}

TEST(Kb, ATerminalThatCannotBeOpenedIsRefusedWithTheReason)
{
    const std::string beyond = "cannot open the terminal: a screen of ", cannot = " is larger than curses can hold";
    const std::tuple<const char *, const char *, int, std::string> rows[] = {  // LINES, COLUMNS, errno, reason
        {"100000", "80", 0, beyond + "80x100000 (LINES=100000, COLUMNS=80)" + cannot},
        {"24", "32768", 0, beyond + "32768x24 (LINES=24, COLUMNS=32768)" + cannot},
        {"2048", "2049", 2, beyond + "2049x2048 (LINES=2048, COLUMNS=2049)" + cannot},
        {"2048", "2048", 24, "cannot open the terminal: Too many open files"}, {"32767", "80", 2, "unknown terminal type (TERM=t)"}};
    for (const auto &[lines, cols, error, want] : rows) {
        setenv("LINES", lines, 1), setenv("COLUMNS", cols, 1);
        EXPECT_EQ(common::why_no_terminal("t", error), want) << lines << " " << cols;
    }
    unsetenv("LINES"), unsetenv("COLUMNS");
}

TEST(Popup, BorderedTextAtRowFiveColumnTenForItsSecondsMovedAndCutToFit)
{
    fresh_screen();
    static unsigned slept;
    common::hooks.sleep_seconds = [](unsigned s) { slept += s; };
    auto screen = [](int row, int col, int n) {
        char text[100] = {};
        return std::string(text, std::max(0, mvwinnstr(curscr, row, col, text, n)));
    };
    common::dopopup("hello", 3);
    EXPECT_EQ(screen(5, 10, 10) + screen(6, 9, 11) + screen(7, 10, 9), "l-------k  | hello | m-------j");
    common::dopopup("saved a\nb\x1b[2J.world", 0);  // a name's control bytes as escapes: the box whole
    EXPECT_EQ(screen(6, 10, 27) + screen(7, 36, 1), "| saved a\\nb\\x1b[2J.world |j");
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
    // Accepted: the values, as "size roughness grid" (help ends the reading); refused: the status.
    const std::pair<std::vector<std::string>, const char *> rows[] = {
        {{}, "2 150 4"}, {{"-s", ".25"}, "0.25 150 4"}, {{"-s", "30"}, "30 150 4"}, {{"-s", "3e1"}, "30 150 4"},
        {{"-s", "  1.5xyz"}, "1.5 150 4"}, {{"-s", "0.7"}, "0.699999988 150 4"}, {{"-g", "3x", "-r", " 42"}, "2 42 3"},
        {{"-r", "10", "-r", "20"}, "2 20 4"}, {{"-r", "1", "-g", "8", "-s", "1"}, "1 1 8"}, {{"-g", "1"}, "6"},
        {{"-r", "1000", "-g", "2"}, "2 1000 2"}, {{"-r", "20", "--help", "foo"}, "2 20 4"}, {{"-s", "-h"}, "3"},
        {{"-s", "0.24"}, "3"}, {{"-s", "30.01"}, "3"}, {{"-s", "abc"}, "3"}, {{"-s", "nan"}, "3"}, {{"-s", "inf"}, "3"},
        {{"-s", "1e400"}, "3"}, {{"-s", "0x10"}, "3"}, {{"-s"}, "3"}, {{"-s2"}, "4"}, {{"foo", "-r", "0"}, "4"},
        {{"-r", "0"}, "5"}, {{"-r", "1001"}, "5"}, {{"-r", "x"}, "5"}, {{"-r", "4294967297"}, "5"}, {{"-g", "9"}, "6"},
        {{"-r", "-4294967295"}, "5"}, {{"-r", "99999999999999999999999"}, "5"}, {{"-r", "0", "foo"}, "5"},
        {{"-r", "10", "-g"}, "6"}, {{"-g", "4294967299"}, "6"}, {{"a", "b", "c", "d", "e", "f", "g"}, "2"},
        {{"--resume", "w"}, "2 150 4"}, {{"--resume", "w", "-r", "20"}, "4"}, {{"--resume"}, "4"},
    };
    const char *messages[] = {"", "", "I'm confused too many args\n", "try -s [.25-30]\n",
                              "bad args\nusage: terrarium [-s world_size] [-r roughness] [-g grid_size]\n",
                              "try -r [1-1000]\n", "try -g [2-8]\n"};
    for (const auto &[args, want] : rows) {
        std::vector<const char *> argv{"terrarium"};
        for (const std::string &a : args)
            argv.push_back(a.c_str());
        terrarium::options c;
        const char *message = "";
        int status = terrarium::parse_options(static_cast<int>(argv.size()), argv.data(), &c, &message);
        EXPECT_EQ(status ? std::to_string(status)
                         : common::text_of("%.9g %d %d", static_cast<double>(c.world_size), c.roughness, c.grid_size),
                  want) << testing::PrintToString(args);
        EXPECT_STREQ(message, messages[status]) << testing::PrintToString(args);
    }
}

TEST(WorldSize, FollowsTheScreen)
{
    const char *small = "8: world too small\nthe terminal is 20x10: try -s 0.75 or more\n";
    const struct { float size; int lines, cols; const char *want; } rows[] = {
        {2.0f, 24, 80, "48 x 160"}, {0.25f, 24, 80, "6 x 20"}, {30, 60, 200, "1800 x 6000"}, {1.1f, 24, 80, "26 x 88"},
        {0.7f, 24, 80, "16 x 55"},  // 0.7f is 0.699999988: 55.99 truncates to 55
        {1, 10, 10, "10 x 10"}, {0.25f, 10, 20, small}, {0.74f, 10, 20, small},  // 10 x 10 runs, 14 x 7 does not
        {0.25f, 4, 24, "8: world too small\nthe terminal is 24x4: try -s 1.05 or more\n"},  // 1.04 gives 24 x 4
        {1, 1, 24, "8: world too small\nthe terminal is 24x1: try -s 2.09 or more\n"},  // 50 x 2; at 2.08, 49 x 2
    };
    for (const auto &r : rows) {
        terrarium::options chosen;
        chosen.world_size = r.size;
        terrarium::world w(chosen);
        common::outcome o = common::size_world(w, terrarium::world_rules, r.lines, r.cols);
        EXPECT_EQ(o == common::outcome::running
                      ? common::text_of("%d x %d", w.map.rows(), w.map.cols())
                      : common::text_of("%d: %s", common::exit_status(o), w.outcome_message.c_str()),
                  r.want) << r.size;
    }
    // vivarium: ten times the screen, rounded down to a multiple of 8, plus 9.
    const int extents[][2] = {{24, 249}, {25, 257}, {80, 809}, {81, 817}, {1, 17}, {8, 89}};
    for (const auto &e : extents)
        EXPECT_EQ(vivarium::world_extent(e[0]), e[1]) << e[0];
}

TEST(Food, GrowsAsThreeSweepsWouldOnRandomMaps)
{
    std::mt19937 random(3);
    const int sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {2, 5}, {3, 3}, {13, 17}, {48, 160}};
    for (auto [rows, cols] : sizes)
        for (const std::string alphabet : {" .*@", " .*!@~#AZ", " @"}) {
            terrarium_side::blank(rows, cols);
            int area = rows * cols;
            std::string map(area, ' ');
            for (int i = 0; i < area; i++)
                terrarium_side::w().map.write(i / cols, i % cols, map[i] = alphabet[random() % alphabet.size()]);
            for (int call = 0; call < 3; call++) {
                // The sweeps: '*' marked '!', '.' to '*'; each '@' sows '.' into blank neighbours; '!' to '@'.
                for (char &c : map)
                    c = c == '*' ? '!' : (c == '.' ? '*' : c);
                for (int i = 0; i < area; i++)
                    for (int n : {(i + cols) % area, (i + area - cols) % area, i - i % cols + (i + 1) % cols,
                                  i - i % cols + (i + cols - 1) % cols})
                        map[n] = map[i] == '@' && map[n] == ' ' ? '.' : map[n];
                for (char &c : map)
                    c = c == '!' ? '@' : c;
                common::growfood(terrarium_side::w());
                ASSERT_EQ(std::string(terrarium_side::w().map.row(0), area), map)
                    << rows << " x " << cols << " '" << alphabet << "' call " << call;
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
        EXPECT_TRUE(vivarium::displacement(0, k) == -2 * k && vivarium::displacement(4 * k, k) == 2 * k &&
                    vivarium::displacement(4 * k + 1, k) == -2 * k) << k;
}

TEST(Text, PrintableShowsEachControlByteAsAnEscape)
{
    // Each edge: 0 and 6 in hex, 7 to 13 by name, 14 and 31 in hex; a blank, '~', 127 in hex; 128 and UTF-8 kept.
    static const char raw[] = "\x00\x06\a\b\t\n\v\f\r\x0e\x1f \\~\x7f\x80\xc3\xa9";
    EXPECT_EQ(common::printable(std::string(raw, sizeof raw - 1)),
              "\\x00\\x06\\a\\b\\t\\n\\v\\f\\r\\x0e\\x1f \\\\~\\x7f\x80\xc3\xa9");
}

TEST(Environment, ABadSeedOrLogIsRefusedWithOneLineAndStatus12)
{
    unsigned seed = 1;
    for (auto [text, value] : {std::pair{"0", 0u}, {"007", 7u}, {"4294967295", 4294967295u}})
        EXPECT_TRUE(common::parse_seed(text, &seed) && seed == value) << text;
    auto refusal = [](const char *name, const char *value, auto side) {
        using S = decltype(side);
        setenv(name, value, 1);
        typename S::world w;
        common::map_view view;
        common::run_log log;
        ending end = ending_of([&] { common::start_up(w, S::rules, view, log); });
        unsetenv(name);
        EXPECT_EQ(end.status, 12) << name << "=" << value;
        return end.message;
    };
    // A seed taken is not run: init would go on to open the terminal.
    for (const char *text : {"", "-1", "+1", " 1", "1 ", "0x10", "1e3", "12a", "4294967296", "99999999999999999999"})
        EXPECT_EQ(common::parse_seed(text, &seed) ? "taken" : refusal("TERRARIUM_SEED", text, terrarium_side{}),
                  "terrarium: TERRARIUM_SEED must be a number from 0 to 4294967295\n") << text;
    EXPECT_EQ(refusal("VIVARIUM_SEED", "x", vivarium_side{}),
              "vivarium: VIVARIUM_SEED must be a number from 0 to 4294967295\n");
    EXPECT_EQ(refusal("TERRARIUM_LOG", "/nonexistent/run.csv", terrarium_side{}),
              "terrarium: TERRARIUM_LOG: cannot open '/nonexistent/run.csv': No such file or directory\n");
}

TEST(WayOut, TheSavesThenTheLogThenTheTerminalAndNoSaveInASignalHandler)
{
    static std::string said;
    struct words : common::last_words {
        const char *name;
        int becomes;  // the status returned instead of 0
        words(const char *n, int b) : name(n), becomes(b) {}
        int say(int status, std::string *complaint) override
        {
            said += name, *complaint += name;
            return status == 0 ? becomes : status;
        }
        void say_in_signal_handler(int status) override { said += name + std::to_string(status) + " "; }
    } saves("saves ", 0), log("log ", 12);
    const common::way_out_slots before = common::way_out;
    common::way_out = {&saves, &log, [](bool in_handler) { said += in_handler ? "terminal!|" : "terminal|"; }};
    std::string complaint;
    EXPECT_EQ(common::leave(0, false, &complaint), 12);
    EXPECT_EQ(common::leave(134, true, nullptr), 134);
    common::way_out = before;
    EXPECT_EQ(said + complaint, "saves log terminal|log 134 terminal!|saves log ");
}

// The key commands, typed into a pseudo-terminal that the real keyboard
// module reads: the modes of the main loop, speed, selection, popups, the
// view, and every byte without a command.
#include <gtest/gtest.h>

#include <climits>
#include <deque>

#include "common/hooks.h"
#include "common/kb.h"
#include "tests/support/pty_keyboard.h"
#include "tests/support/world.h"

using common::do_key;

namespace {

// What the program showed, in order: each popup as "<phase> <text> <s>s",
// each wait for a key while paused as "<phase> idle".
std::vector<std::string> seen;
int paused_when_shown = -1;
// Keys to type, a chunk each time the paused program waits for a key.
std::deque<std::string> still_to_type;
pty_keyboard *keyboard = nullptr;
struct nothing_left_to_type {};

void note_popup(const char *text, int seconds)
{
    paused_when_shown = common::paused;
    seen.push_back(std::to_string(common::phase) + " " + text + " " + std::to_string(seconds) + "s");
}

// The idle wait sleeps 100000 microseconds; the pass boundary sleeps
// `speed`, which these tests keep away from that value.
void sleep_or_type(useconds_t micros)
{
    if (micros != 100000)
        return;
    seen.push_back(std::to_string(common::phase) + " idle");
    if (still_to_type.empty() && pty_keyboard::waiting() == 0)
        throw nothing_left_to_type{};
    if (!still_to_type.empty()) {
        keyboard->type(still_to_type.front());
        still_to_type.pop_front();
    }
}

class Keys : public ::testing::Test {
protected:
    void SetUp() override
    {
        keyboard = &kbd;
        common::save_setting();
        common::init_kb();
        world<terrarium_side>();
    }
    void TearDown() override
    {
        while (common::kb_hit())
            common::read_kb();
        common::close_kb();
        common::hooks = common::default_hooks;
    }

    // Five bugs, A to E, in a blank world (48 x 160 on 80 x 24 by default),
    // the loop state at its start values, nothing typed and nothing seen.
    template <class S>
    void world(int rows = 48, int cols = 160, int lines = 24, int screen_cols = 80)
    {
        S::blank(rows, cols, lines, screen_cols);
        const int cells[][3] = {{2, 3, 1}, {10, 20, 2}, {30 % rows, 100 % cols, 3}, {rows - 1, cols - 1, 0}, {0, 0, 0}};
        for (int i = 0; i < 5; i++)
            bugs[i] = S::add(cells[i][0], cells[i][1], static_cast<char>('A' + i), cells[i][2]);
        common::hooks.popup = note_popup;
        common::hooks.sleep_micros = sleep_or_type;
        seen.clear();
        still_to_type.clear();
    }

    // Runs the real main loop: types the first chunk, and each further
    // chunk whenever the paused program waits for a key, until a quit.
    std::vector<std::string> run(std::deque<std::string> script)
    {
        kbd.type(script.front());
        script.pop_front();
        still_to_type = script;
        try {
            common::main_loop();
        } catch (const common::stopped &stop) {
            seen.push_back(std::to_string(common::phase) + " stop " + std::to_string(stop.status));
        } catch (const nothing_left_to_type &) {
            seen.push_back(std::to_string(common::phase) + " waits for more keys");
        }
        return seen;
    }

    pty_keyboard kbd;
    void *bugs[5] = {};
};

}  // namespace

TEST_F(Keys, ModesOfTheMainLoop)
{
    struct row {
        const char *name;
        std::deque<std::string> script;
        std::vector<std::string> want;
    };
    const row rows[] = {
        {"running: one key per pass boundary, Ctrl-C is a key", {"6a\x03x"},
         {"1 bad key 1s", "2 bad key 1s", "3 bad key 1s", "4 stop 0"}},
        {"paused: every key at once", {"p6 x"}, {"1 Pause 1s", "1 bad key 1s", "1 bad key 1s", "1 stop 0"}},
        {"paused: waits, repainting, until a key comes", {"p", "", "X"}, {"1 Pause 1s", "1 idle", "1 idle", "1 stop 0"}},
        {"p twice resumes, both popups shown", {"ppx"}, {"1 Pause 1s", "1 Pause 1s", "2 stop 0"}},
        {"n: one more pass, then paused; p resumes", {"n", "px"}, {"1 Single step 1s", "2 idle", "2 Pause 1s", "3 stop 0"}},
        {"each further n runs one more pass", {"n", "N", "x"},
         {"1 Single step 1s", "2 idle", "2 Single step 1s", "3 idle", "3 stop 0"}},
        {"n while paused: one pass, then paused", {"pn", "x"}, {"1 Pause 1s", "1 Single step 1s", "2 idle", "2 stop 0"}},
        {"t while paused: top speed and running", {"p", "tx"}, {"1 Pause 1s", "1 idle", "1 speed=0 1s", "2 stop 0"}},
        {"s while single-stepping: running", {"n", "Sx"}, {"1 Single step 1s", "2 idle", "2 speed=2 1s", "3 stop 0"}},
        {"keys that do not touch the mode keep it", {"P", "hjkl12345gzzv6", std::string(1, '\0'), "x"},
         {"1 Pause 1s", "1 idle", "1 x=3  y=2  v=1 2s", "1 bad key 1s", "1 idle", "1 idle", "1 stop 0"}},
    };
    for (const row &r : rows) {
        world<terrarium_side>();
        EXPECT_EQ(run(r.script), r.want) << r.name;
    }
}

TEST_F(Keys, SpeedChangesAndEndsThePauseAfterItsPopup)
{
    const int rows[][3] = {{1, 'f', 0},       {0, 'f', 0},       {3, 'f', 1},         {INT_MAX, 'F', INT_MAX / 2},
                           {0, 's', 1},       {4, 'S', 8},       {1 << 29, 's', 1 << 30}, {1 << 30, 's', 1 << 30},
                           {INT_MAX, 's', INT_MAX}, {12345, 't', 0}};  // speed, key, speed after
    for (const auto &r : rows) {
        seen.clear();
        common::speed = r[0];
        common::paused = 1;
        do_key(r[1]);
        EXPECT_EQ(seen, std::vector<std::string>{"0 speed=" + std::to_string(r[2]) + " 1s"}) << r[1] << " " << r[0];
        EXPECT_TRUE(common::speed == r[2] && paused_when_shown == 1 && common::paused == 0) << r[1] << " " << r[0];
    }
}

TEST_F(Keys, SelectionAndThePopupsOfTheSelectedBug)
{
    struct row {
        const char *program;
        std::string keys;
        int selected;  // of the bugs A to E, after the keys
        const char *label;
        std::vector<std::string> popups;
    };
    const std::string min = "-2147483648";
    const row rows[] = {
        {"terrarium", "2", 1, "hf ", {}},
        {"terrarium", "3", 2, "hg ", {}},
        {"terrarium", "4", 3, "old", {}},
        {"terrarium", "5", 4, "hk ", {}},
        {"terrarium", "11111", 0, "xx ", {}},  // as many as there are bugs: back to the start
        {"terrarium", "2cVD", 1, "hf ",
         {"0 R=B G=4 A=17 Fd=1234 S=56 Fv=3 F@=-7  3s", "0 x=20  y=10  v=2 2s", "0 0123012301230123012301230 5s"}},
        {"terrarium", "5C", 4, "hk ",
         {"0 R=E G=" + min + " A=" + min + " Fd=" + min + " S=" + min + " Fv=" + min + " F@=" + min + "  3s"}},
        {"vivarium", "3", 2, "hg ", {}},
        {"vivarium", "4", 3, "old", {}},
        {"vivarium", "1111", 4, "xx ", {}},
        {"vivarium", "2Cvd", 1, "hf ", {"0 R=B G=4 A=17 F=1234 3s", "0 x=20  y=10 2s", "0 0123012301230123012301230 5s"}},
    };
    for_both([&](auto side) {
        using S = decltype(side);
        for (const row &r : rows) {
            if (std::string(r.program) != S::name)
                continue;
            world<S>();
            auto **b = reinterpret_cast<typename S::bug **>(bugs);
            for (int i = 1; i < static_cast<int>(S::pointers().size()) - 2; i++)
                *S::pointers()[2 + i] = b[i];  // hf, hg, old (, hk)
            b[1]->gen = 4, b[1]->age = 17, b[1]->food = 1234, b[1]->size = 56;
            for (int i = 0; i < 25; i++)
                b[1]->dna[i] = static_cast<common::gene_t>(i % 4);
            if constexpr (is_terrarium<S>) {
                terrarium::attraction(b[1], '@') = -7;
                b[1]->vision = 3;
                b[4]->gen = b[4]->age = b[4]->food = b[4]->size = b[4]->vision = INT_MIN;
                terrarium::attraction(b[4], '@') = INT_MIN;
            }
            for (char k : r.keys)
                do_key(k);
            std::string name = std::string(S::name) + " keys " + r.keys;
            EXPECT_EQ(*S::pointers()[2], b[r.selected]) << name;
            EXPECT_STREQ(common::track_label, r.label) << name;
            EXPECT_EQ(seen, r.popups) << name;
        }
    });
}

TEST_F(Keys, EveryByteWithoutACommandIsABadKeyAndChangesNothing)
{
    for_both([&](auto side) {
        using S = decltype(side);
        world<S>();
        std::string commands = is_terrarium<S> ? "xXgGzZhHjJkKlLfFsStTpPnN12345vVdDcCeEbBwW"
                                               : "xXgGzZhHjJkKlLfFsStTpPnN1234vVdDcCeE";
        for (int byte = 1; byte <= 255; byte++) {
            bool bad = commands.find(static_cast<char>(byte)) == std::string::npos;
            if (!bad && std::string("xXeEbB").find(static_cast<char>(byte)) != std::string::npos)
                continue;  // quit, editor and viewer would leave this test
            seen.clear();
            std::vector<long> before = {common::speed, common::show_map, common::paused, common::view_row,
                                        common::view_col, reinterpret_cast<long>(*S::pointers()[2])};
            do_key(static_cast<signed char>(byte));
            std::vector<long> after = {common::speed, common::show_map, common::paused, common::view_row,
                                       common::view_col, reinterpret_cast<long>(*S::pointers()[2])};
            EXPECT_EQ(seen == std::vector<std::string>{"0 bad key 1s"}, bad) << S::name << " byte " << byte;
            EXPECT_TRUE(!bad || before == after) << S::name << " byte " << byte;
            common::paused = 0;
        }
    });
}

TEST_F(Keys, ScrollingAndCentringStopAtTheBounds)
{
    struct row {
        const char *name;
        int rows, cols, lines, screen_cols;
        int from_row, from_col;
        std::string keys;
        int want_row, want_col;
    };
    // On 80 x 24 a 48 x 160 world scrolls rows 0 to 25, columns 0 to 80.
    const row rows[] = {
        {"h and k at the origin", 48, 160, 24, 80, 0, 0, "hk", 0, 0},
        {"h and k move", 48, 160, 24, 80, 4, 5, "Hk", 3, 4},
        {"j and l at the bounds", 48, 160, 24, 80, 25, 80, "jl", 25, 80},
        {"j and l move to them", 48, 160, 24, 80, 24, 79, "JL", 25, 80},
        {"a world smaller than the view stays", 6, 20, 24, 80, 0, 0, "jlhk", 0, 0},
        {"g on the bug at the origin", 48, 160, 24, 80, 5, 5, "4g", 0, 0},
        {"g on the last row and column", 48, 160, 24, 80, 5, 5, "3g", 25, 80},
        {"g in the middle", 48, 160, 24, 80, 5, 5, "2G", 30 - 11, 100 - 40},
        {"g: halves truncate on an odd screen", 50, 162, 25, 81, 5, 5, "1g", 20 - 12, 50 - 40},
        {"g: a world smaller than the view gives a negative origin", 6, 20, 24, 80, 5, 5, "3g", -17, -60},
    };
    for (const row &r : rows) {
        world<terrarium_side>(r.rows, r.cols, r.lines, r.screen_cols);
        auto **b = reinterpret_cast<terrarium::bug **>(bugs);
        terrarium::old = b[4], terrarium::hg = b[3], terrarium::hf = b[2];
        b[1]->y = 20, b[1]->x = 50;  // '1' selects it
        common::view_row = r.from_row;
        common::view_col = r.from_col;
        for (char k : r.keys)
            do_key(k);
        EXPECT_EQ(std::vector<int>({common::view_row, common::view_col}), std::vector<int>({r.want_row, r.want_col}))
            << r.name;
        common::repaint();  // a negative origin is handed to curses as it is
    }
}

TEST_F(Keys, WorldStatisticsRoundedAndInSixtyFourBits)
{
    const long rows[][4] = {{48, 160, 1, 2}, {10000, 30000, 150000000, 75000000}};  // rows, cols, water, mountain
    for (const long *r : rows) {
        common::world_row = static_cast<int>(r[0]), common::world_col = static_cast<int>(r[1]);
        terrarium::wtr_c = static_cast<int>(r[2]), terrarium::mnt_c = static_cast<int>(r[3]);
        do_key('W');
    }
    common::world_row = 48, common::world_col = 160;
    EXPECT_EQ(seen, std::vector<std::string>({"0 A=7680 W=0.01 M=0.03 S=99.96 5s",
                                              "0 A=300000000 W=50.00 M=25.00 S=25.00 5s"}));
}

TEST_F(Keys, TheIdleRepaintTheStatusLineTheStatisticsAndQuit)
{
    common::cell_write(1, 81, '#');
    common::view_col = 80;
    common::track_label = "old";
    common::speed = 65536;
    common::passes = 1234;
    kbd.type(std::string(1, '\0') + "p");
    common::paused = 1;
    common::key_loop();
    EXPECT_EQ(mvwinch(curscr, 1, 1) & A_CHARTEXT, static_cast<chtype>('#'));
    char text[81] = {};
    mvwinnstr(curscr, 23, 0, text, 80);
    EXPECT_EQ(std::string(text), "x 12345 vdcegzb hjklw fstpn   old  " + std::string(14, ' ') +
                                     "paused  65ms  pass 1234  5 bugs");
    do_key('z');
    common::repaint();
    mvwinnstr(curscr, 0, 0, text, 11);
    EXPECT_STREQ(text, "Status -- 1");
    do_key('Z');
    EXPECT_EQ(common::show_map, 1);
    EXPECT_EQ(stop_of([] { do_key('x'); }).status, 0);
}

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
    if (still_to_type.empty()) {
        if (pty_keyboard::waiting() > 0)
            return;
        throw nothing_left_to_type{};
    }
    keyboard->type(still_to_type.front());
    still_to_type.pop_front();
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

    // Five bugs in a blank 48 x 160 world on 80 x 24; the loop state at its
    // start values, nothing typed and nothing seen.
    template <class S>
    void world(int rows = 48, int cols = 160, int lines = 24, int screen_cols = 80)
    {
        S::blank(rows, cols, lines, screen_cols);
        bugs[0] = S::add(2, 3, 'A', 1);
        bugs[1] = S::add(10, 20, 'B', 2);
        bugs[2] = S::add(30 % rows, 100 % cols, 'C', 3);
        bugs[3] = S::add(rows - 1, cols - 1, 'D', 0);
        bugs[4] = S::add(0, 0, 'E', 0);
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
    const std::string nul(1, '\0');
    const row rows[] = {
        {"running: one key per pass boundary, Ctrl-C is a key", {"6a \r\x03x"},
         {"1 bad key 1s", "2 bad key 1s", "3 bad key 1s", "4 bad key 1s", "5 bad key 1s", "6 stop 0"}},
        {"paused: every key at once", {"p6a x"}, {"1 Pause 1s", "1 bad key 1s", "1 bad key 1s", "1 bad key 1s", "1 stop 0"}},
        {"paused: waits, repainting, until a key comes", {"p", "", "X"}, {"1 Pause 1s", "1 idle", "1 idle", "1 stop 0"}},
        {"p twice resumes, both popups shown", {"ppx"}, {"1 Pause 1s", "1 Pause 1s", "2 stop 0"}},
        {"n while running: one more pass, then paused; p resumes", {"n", "px"},
         {"1 Single step 1s", "2 idle", "2 Pause 1s", "3 stop 0"}},
        {"each further n runs one more pass", {"n", "N", "x"},
         {"1 Single step 1s", "2 idle", "2 Single step 1s", "3 idle", "3 stop 0"}},
        {"n while paused: one pass, then paused again", {"pn", "x"}, {"1 Pause 1s", "1 Single step 1s", "2 idle", "2 stop 0"}},
        {"t while paused: top speed and running", {"p", "tx"}, {"1 Pause 1s", "1 idle", "1 speed=0 1s", "2 stop 0"}},
        {"s while single-stepping: running", {"n", "Sx"}, {"1 Single step 1s", "2 idle", "2 speed=2 1s", "3 stop 0"}},
        {"keys that do not touch the mode keep it paused", {"P", "hjkl12345gzzv6", "x"},
         {"1 Pause 1s", "1 idle", "1 x=3  y=2  v=1 2s", "1 bad key 1s", "1 idle", "1 stop 0"}},
        {"a NUL byte is an idle wait", {"p", nul, "x"}, {"1 Pause 1s", "1 idle", "1 idle", "1 stop 0"}},
    };
    for (const row &r : rows) {
        world<terrarium_side>();
        EXPECT_EQ(run(r.script), r.want) << r.name;
    }
}

TEST_F(Keys, SpeedChangesAndEndsThePauseAfterItsPopup)
{
    struct row {
        int speed, key, want;
    };
    const row rows[] = {
        {1, 'f', 0},           {0, 'f', 0},           {3, 'f', 1},          {1000, 'F', 500},
        {INT_MAX, 'f', INT_MAX / 2}, {0, 's', 1},     {4, 'S', 8},          {1 << 29, 's', 1 << 30},
        {1 << 30, 's', 1 << 30},     {INT_MAX, 's', INT_MAX}, {12345, 't', 0}, {0, 'T', 0},
    };
    for (const row &r : rows) {
        std::string name = std::string(1, static_cast<char>(r.key)) + " from " + std::to_string(r.speed);
        seen.clear();
        common::speed = r.speed;
        common::paused = 1;
        do_key(r.key);
        EXPECT_EQ(common::speed, r.want) << name;
        EXPECT_EQ(paused_when_shown, 1) << name;
        EXPECT_EQ(common::paused, 0) << name;
        EXPECT_EQ(seen, std::vector<std::string>{"0 speed=" + std::to_string(r.want) + " 1s"}) << name;
    }
}

TEST_F(Keys, SelectionAndThePopupsOfTheSelectedBug)
{
    struct row {
        const char *program;
        std::string keys;
        int selected;  // which of the five bugs, after the keys
        const char *label;
        std::vector<std::string> popups;
    };
    const row rows[] = {
        {"terrarium", "2", 1, "hf ", {}},
        {"terrarium", "3", 2, "hg ", {}},
        {"terrarium", "4", 3, "old", {}},
        {"terrarium", "5", 4, "hk ", {}},
        {"terrarium", "11111", 0, "xx ", {}},  // as many as there are bugs: back to the start
        {"terrarium", "2c", 1, "hf ", {"0 R=B G=4 A=17 Fd=1234 S=56 Fv=3 F@=-7  3s"}},
        {"terrarium", "2VD", 1, "hf ", {"0 x=20  y=10  v=2 2s", "0 0123012301230123012301230 5s"}},
        {"vivarium", "2", 1, "hf ", {}},
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
            *S::pointers()[3] = b[1];  // hf
            *S::pointers()[4] = b[2];  // hg
            *S::pointers()[5] = b[3];  // old
            if constexpr (std::is_same_v<S, terrarium_side>) {
                terrarium::hk = b[4];
                terrarium::attraction(b[1], '@') = -7;
                b[1]->vision = 3;
            }
            b[1]->gen = 4;
            b[1]->age = 17;
            b[1]->food = 1234;
            b[1]->size = 56;
            for (int i = 0; i < 25; i++)
                b[1]->dna[i] = static_cast<common::gene_t>(i % 4);
            for (char k : r.keys)
                do_key(k);
            std::string name = std::string(S::name) + " keys " + r.keys;
            EXPECT_EQ(*S::pointers()[2], b[r.selected]) << name;
            EXPECT_STREQ(common::track_label, r.label) << name;
            EXPECT_EQ(seen, r.popups) << name;
        }
    });
}

TEST_F(Keys, SummaryOfExtremeValuesIsShownWhole)
{
    terrarium::bug *b = static_cast<terrarium::bug *>(bugs[0]);
    b->gen = b->age = b->food = b->size = b->vision = INT_MIN;
    terrarium::attraction(b, '@') = INT_MIN;
    do_key('c');
    const std::string min = "-2147483648";
    EXPECT_EQ(seen, std::vector<std::string>{"0 R=A G=" + min + " A=" + min + " Fd=" + min + " S=" + min + " Fv=" +
                                             min + " F@=" + min + "  3s"});
}

TEST_F(Keys, EveryByteWithoutACommandIsABadKeyAndChangesNothing)
{
    const std::string commands[] = {"xXgGzZhHjJkKlLfFsStTpPnN12345vVdDcCeEbBwW",
                                    "xXgGzZhHjJkKlLfFsStTpPnN1234vVdDcCeE"};
    const std::string leaving = "xXeEbB";  // quit, editor and viewer leave this test
    int which = 0;
    for_both([&](auto side) {
        using S = decltype(side);
        world<S>();
        for (int byte = 1; byte <= 255; byte++) {
            bool bad = commands[which].find(static_cast<char>(byte)) == std::string::npos;
            if (!bad && leaving.find(static_cast<char>(byte)) != std::string::npos)
                continue;
            seen.clear();
            int before[] = {common::speed, common::show_map, common::paused, common::view_row, common::view_col};
            auto *selected = *S::pointers()[2];
            do_key(static_cast<signed char>(byte));
            int after[] = {common::speed, common::show_map, common::paused, common::view_row, common::view_col};
            bool shown_bad = seen == std::vector<std::string>{"0 bad key 1s"};
            EXPECT_EQ(shown_bad, bad) << S::name << " byte " << byte;
            if (bad) {
                EXPECT_TRUE(std::equal(before, before + 5, after) && selected == *S::pointers()[2])
                    << S::name << " byte " << byte;
            }
            common::paused = 0;
        }
        which++;
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
        terrarium::old = b[4];     // (0, 0)
        terrarium::hg = b[3];      // the last row and column
        terrarium::hf = b[2];      // (30, 100) on the default world
        b[1]->y = 20, b[1]->x = 50;  // '1' from the first bug
        common::view_row = r.from_row;
        common::view_col = r.from_col;
        for (char k : r.keys)
            do_key(k);
        EXPECT_EQ(common::view_row, r.want_row) << r.name;
        EXPECT_EQ(common::view_col, r.want_col) << r.name;
        common::repaint();  // a negative origin is handed to curses as it is
    }
}

TEST_F(Keys, WorldStatistics)
{
    struct row {
        int rows, cols, water, mountain;
        std::string want;
    };
    const row rows[] = {
        {48, 160, 768, 1536, "A=7680 W=10.00 M=20.00 S=70.00"},
        {48, 160, 1, 2, "A=7680 W=0.01 M=0.03 S=99.96"},
        {10000, 30000, 150000000, 75000000, "A=300000000 W=50.00 M=25.00 S=25.00"},  // beyond 32 bits
    };
    for (const row &r : rows) {
        seen.clear();
        common::world_row = r.rows;
        common::world_col = r.cols;
        terrarium::wtr_c = r.water;
        terrarium::mnt_c = r.mountain;
        do_key('W');
        EXPECT_EQ(seen, std::vector<std::string>{"0 " + r.want + " 5s"});
    }
    common::world_row = 48;
    common::world_col = 160;
}

TEST_F(Keys, TheIdleRepaintShowsTheViewAndTheStatusLineAndZTheStatistics)
{
    common::cell_write(1, 81, '#');
    common::view_col = 80;
    common::track_label = "old";
    kbd.type(std::string(1, '\0') + "p");
    common::paused = 1;
    common::key_loop();
    EXPECT_EQ(mvwinch(curscr, 1, 1) & A_CHARTEXT, static_cast<chtype>('#'));
    char status[36] = {};
    mvwinnstr(curscr, 23, 0, status, 35);
    EXPECT_STREQ(status, "x 12345 vdcegzb hjklw fstpn   old  ");
    do_key('z');
    common::repaint();
    char header[12] = {};
    mvwinnstr(curscr, 0, 0, header, 11);
    EXPECT_STREQ(header, "Status -- 1");
    do_key('Z');
    EXPECT_EQ(common::show_map, 1);
    EXPECT_EQ(stop_of([] { do_key('x'); }).status, 0);
}

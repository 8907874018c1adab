// The key commands, typed into a pseudo-terminal that the real keyboard
// module reads: the main loop's modes, speed, selection, popups, the view.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <deque>
#include <tuple>

#include "common/hooks.h"
#include "screen/kb.h"
#include "screen/term.h"
#include "tests/support/pty_keyboard.h"
#include "tests/support/world.h"

namespace {

common::session *shown = nullptr;  // the session of the test under way

// What the program showed, in order: each popup as "<phase> <text> <s>s",
// each wait for a key while paused as "<phase> idle".
std::vector<std::string> seen;
int paused_when_shown = -1;
std::deque<std::string> still_to_type;  // a chunk each time the paused loop waits
pty_keyboard *keyboard = nullptr;

void note(const std::string &what) { seen.push_back(std::to_string(shown->world.phase) + " " + what); }
void do_key(int k) { common::do_key(*shown, k); }
void press(const std::string &keys) { for (char k : keys) do_key(k); }
bool paused() { return shown->mode != common::run_mode::running; }

// What a hook throws to end the main loop from outside it.
struct interrupted {
    int status;
    std::string text;
};

// The idle wait sleeps 100000 microseconds, the pass boundary `speed`
// (kept away from it). Nothing left to type while paused: a stop of -2.
void sleep_or_type(useconds_t micros)
{
    if (micros != 100000)
        return;
    note("idle");
    if (!still_to_type.empty())
        keyboard->type(still_to_type.front()), still_to_type.pop_front();
    else if (pty_keyboard::waiting() == 0)
        throw interrupted{-2, "waits for more keys"};
}

struct Keys : ::testing::Test {
    void SetUp() override
    {
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

    // Bugs A to E in a blank world (48 x 160 on 80 x 24 by default), B to E
    // tracked as hf, hg, old (, hk), nothing typed and nothing seen.
    template <class S>
    void world(int rows = 48, int cols = 160, int lines = 24, int screen_cols = 80)
    {
        S::blank(rows, cols, lines, screen_cols);
        shown = &S::session();
        const int cells[][3] = {{2, 3, 1}, {20, 50, 2}, {30 % rows, 100 % cols, 3}, {rows - 1, cols - 1, 0}, {0, 0, 0}};
        for (int i = 0; i < 5; i++)
            bugs[i] = S::add(cells[i][0], cells[i][1], static_cast<char>('A' + i), cells[i][2]);
        for (size_t i = 1; i + 2 < S::pointers().size(); i++)
            *S::pointers()[2 + i] = static_cast<typename S::bug *>(bugs[i]);
        common::hooks.popup = [](const char *text, int s) {
            paused_when_shown = paused(), note(text + (" " + std::to_string(s)) + "s"); };
        common::hooks.sleep_micros = sleep_or_type;
        keyboard = &kbd, seen.clear(), still_to_type.clear();
    }

    // The real main loop: a chunk typed at once, then one at each wait.
    // It stops with 0 when the user quits, nothing done after the key: the
    // turn of its pass boundary still pending.
    std::vector<std::string> run(std::deque<std::string> script)
    {
        still_to_type = script;
        kbd.type(still_to_type.front());
        still_to_type.pop_front();
        int status = -1;
        try {
            common::main_loop(*shown);
            status = shown->quitting && shown->turn_pending ? 0 : -1;
        } catch (const interrupted &stop) {
            status = stop.status;
        }
        note("stop " + std::to_string(status));
        return seen;
    }

    pty_keyboard kbd;
    void *bugs[5] = {};
};

}  // namespace

TEST_F(Keys, ModesOfTheMainLoop)
{
    const std::pair<std::deque<std::string>, std::vector<std::string>> rows[] = {  // keys, what was seen
        {{"6a\x03x"}, {"1 bad key 1s", "2 bad key 1s", "3 bad key 1s", "4 stop 0"}},  // running: a key a pass
        {{"p6 x"}, {"1 Pause 1s", "1 bad key 1s", "1 bad key 1s", "1 stop 0"}},  // paused: every key at once
        {{"p", "", "X"}, {"1 Pause 1s", "1 idle", "1 idle", "1 stop 0"}},  // paused: repaints until a key comes
        {{"ppx"}, {"1 Pause 1s", "1 Pause 1s", "2 stop 0"}},
        {{"n", "px"}, {"1 Single step 1s", "2 idle", "2 Pause 1s", "3 stop 0"}},  // n: a pass, then paused
        {{"n", "N", "x"}, {"1 Single step 1s", "2 idle", "2 Single step 1s", "3 idle", "3 stop 0"}},
        {{"pn", "x"}, {"1 Pause 1s", "1 Single step 1s", "2 idle", "2 stop 0"}},
        {{"p", "tx"}, {"1 Pause 1s", "1 idle", "1 speed=0 1s", "2 stop 0"}},  // t and s end a pause
        {{"n", "Sx"}, {"1 Single step 1s", "2 idle", "2 speed=2 1s", "3 stop 0"}},
        {{"P", "hjkl23451gzzv6", std::string(1, '\0'), "x"},  // keys that leave the mode as it is
         {"1 Pause 1s", "1 idle", "1 x=3  y=2  v=1 2s", "1 bad key 1s", "1 idle", "1 idle", "1 stop 0"}},
    };
    for (const auto &[script, want] : rows) {
        world<terrarium_side>();
        EXPECT_EQ(run(script), want) << "keys " << ::testing::PrintToString(script);
    }
}

TEST_F(Keys, SpeedChangesAndEndsThePauseAfterItsPopup)
{
    const int rows[][3] = {{1, 'f', 0}, {0, 'f', 0}, {3, 'f', 1}, {INT_MAX, 'F', INT_MAX / 2}, {0, 's', 1}, {4, 'S', 8},
                           {1 << 29, 's', 1 << 30}, {1 << 30, 's', 1 << 30}, {INT_MAX, 's', INT_MAX}, {12345, 't', 0}};
    for (const auto &r : rows) {  // speed, key, speed after
        seen.clear(), shown->speed = r[0], shown->mode = common::run_mode::paused;
        do_key(r[1]);
        EXPECT_EQ(seen, std::vector<std::string>{"0 speed=" + std::to_string(r[2]) + " 1s"}) << r[1] << " " << r[0];
        EXPECT_TRUE(shown->speed == r[2] && paused_when_shown == 1 && !paused()) << r[1] << " " << r[0];
    }
}

TEST_F(Keys, SelectionAndThePopupsOfTheSelectedBug)
{
    // Keys, then the popups shown, the label and the selected bug.
    const std::string min = "-2147483648", digits = "0 0123012301230123012301230 5s";
    using rows = std::vector<std::pair<const char *, std::vector<std::string>>>;
    const rows terrarium_rows = {
        {"11111", {"xx ", "A"}},  // as many as there are bugs: back to the start
        {"2cVD", {"0 R=B G=4 A=17 Fd=1234 S=56 Fv=3 F@=-7  3s", "0 x=50  y=20  v=2 2s", digits, "hf ", "B"}},
        {"5C", {"0 R=E G=" + min + " A=" + min + " Fd=" + min + " S=" + min + " Fv=" + min + " F@=" + min + "  3s",
                "hk ", "E"}}};
    const rows vivarium_rows = {{"3", {"hg ", "C"}}, {"4", {"old", "D"}}, {"1111", {"xx ", "E"}},
                                {"2Cvd", {"0 R=B G=4 A=17 F=1234 3s", "0 x=50  y=20 2s", digits, "hf ", "B"}}};
    for_both([&](auto side) {
        using S = decltype(side);
        for (const auto &[keys, want] : is_terrarium<S> ? terrarium_rows : vivarium_rows) {
            world<S>();
            auto **b = reinterpret_cast<typename S::bug **>(bugs);
            b[1]->gen = 4, b[1]->age = 17, b[1]->food = 1234, b[1]->size = 56;
            for (int i = 0; i < 25; i++)
                b[1]->dna[i] = static_cast<common::gene_t>(i % 4);
            if constexpr (is_terrarium<S>) {
                terrarium::attraction(b[1], '@') = -7, b[1]->vision = 3, terrarium::attraction(b[4], '@') = INT_MIN;
                b[4]->gen = b[4]->age = b[4]->food = b[4]->size = b[4]->vision = INT_MIN;
            }
            press(keys);
            seen.insert(seen.end(), {S::program.selection_label(S::w()), std::string(1, (*S::pointers()[2])->race)});
            EXPECT_EQ(seen, want) << S::name << " keys " << keys;
        }
    });
}

TEST_F(Keys, EveryByteWithoutACommandIsABadKeyAndChangesNothing)
{
    for_both([&](auto side) {
        using S = decltype(side);
        world<S>();
        std::string commands = std::string("xXgGzZhHjJkKlLoOfFsStTpPnN1234vVdDcCeE\x13") + (is_terrarium<S> ? "5bBwW" : "");
        auto state = [] { return std::tuple(shown->speed, shown->show_map, shown->mode, shown->view_row,
                                            shown->view_col, *S::pointers()[2]); };
        for (int byte = 1; byte <= 255; byte++) {
            bool bad = commands.find(static_cast<char>(byte)) == std::string::npos;
            if (!bad && std::string("xXeEbB").find(static_cast<char>(byte)) != std::string::npos)
                continue;  // quit, editor and viewer would leave this test
            seen.clear();
            auto before = state();
            do_key(static_cast<signed char>(byte));
            bool bad_key_shown = seen == std::vector<std::string>{"0 bad key 1s"};
            EXPECT_TRUE(bad ? bad_key_shown && before == state() : !bad_key_shown) << S::name << " byte " << byte;
        }
    });
}

TEST_F(Keys, ScrollingAndCentringStopAtTheBounds)
{
    // World, screen, view origin before and after; 48 x 160 on 24 x 80 scrolls to 25, 80.
    const std::pair<const char *, std::array<int, 8>> rows[] = {
        {"hk", {48, 160, 24, 80, 0, 0, 0, 0}},     {"Hk", {48, 160, 24, 80, 4, 5, 3, 4}},
        {"jl", {48, 160, 24, 80, 25, 80, 25, 80}}, {"JL", {48, 160, 24, 80, 24, 79, 25, 80}},
        {"jlhkOjlhk", {6, 20, 24, 80, 0, 0, 0, 0}},  // a world smaller than the view stays
        {"ojjlo", {48, 160, 24, 80, 0, 0, 6, 2}},  {"ojlhhkO", {48, 160, 24, 80, 24, 79, 22, 76}},  // overview: blocks 2x3
        {"omm", {48, 160, 1, 80, 0, 0, 0, 0}},  {"om", {48, 160, 2, 80, 0, 0, 0, 0}},  // no row for the blocks
        {"Okh", {48, 160, 24, 80, 1, 2, 0, 0}},
        {"5g", {48, 160, 24, 80, 5, 5, 0, 0}},     {"4g", {48, 160, 24, 80, 5, 5, 25, 80}},  // bugs in the corners
        {"3G", {48, 160, 24, 80, 5, 5, 30 - 11, 100 - 40}},
        {"2g", {50, 162, 25, 81, 5, 5, 20 - 12, 50 - 40}},  // halves truncate on an odd screen
        {"4g", {6, 20, 24, 80, 5, 5, -17, -60}},  // a world smaller than the view: a negative origin
    };
    for (const auto &[keys, r] : rows) {
        world<terrarium_side>(r[0], r[1], r[2], r[3]);
        shown->view_row = r[4], shown->view_col = r[5];
        press(keys);
        EXPECT_EQ(std::pair(shown->view_row, shown->view_col), std::pair(r[6], r[7])) << keys << ", rows " << r[0];
        common::repaint(*shown);  // a negative origin is handed to curses as it is
    }
}

TEST_F(Keys, AResizeKeepsTheViewWithinTheWorldAndTheStatusLineOnTheLastRow)
{
    terrarium_side::w().map.write(9, 159, '#');  // on 40 x 120 at the top right: the world's last column is the screen's
    const int rows[][4] = {{40, 120, 9, 40}, {12, 40, 25, 80}, {60, 200, 0, 0}};  // the screen, the origin after
    for (const int *r : rows) {
        shown->view_row = 25, shown->view_col = 80;  // the last origin on 24 x 80
        resize_term(r[0], r[1]), common::repaint(*shown);
        EXPECT_EQ(std::tuple(shown->view_row, shown->view_col, getbegy(shown->status_win), getmaxx(shown->status_win),
                             r[0] != 40 || (mvwinch(curscr, 0, 119) & A_CHARTEXT) == '#'),
                  std::tuple(r[2], r[3], r[0] - 1, r[1], true)) << r[0];
    }
}

TEST_F(Keys, WorldStatisticsRoundedAndInSixtyFourBits)
{
    const int rows[][4] = {{48, 160, 1, 2}, {10000, 30000, 150000000, 75000000}};  // rows, cols, water, mountain
    terrarium::world &w = terrarium_side::w();
    for (const int *r : rows) {
        w.map.plan(r[0], r[1]), w.water_cells = r[2], w.mountain_cells = r[3];  // the size alone: nothing is read
        do_key('W');
    }
    w.map.plan(48, 160);
    EXPECT_EQ(seen, std::vector<std::string>(
                        {"0 A=7680 W=0.01 M=0.03 S=99.96 5s", "0 A=300000000 W=50.00 M=25.00 S=25.00 5s"}));
}

TEST_F(Keys, TheIdleRepaintTheStatusLineAndTheStatisticsScreen)
{
    terrarium_side::w().map.write(1, 81, '#');
    shown->view_col = 80, terrarium_side::w().refs.chosen_by = 3, shown->speed = 65536, shown->world.passes = 1234;
    kbd.type(std::string(1, '\0') + "p"), shown->mode = common::run_mode::paused;
    common::key_loop(*shown);
    EXPECT_EQ(mvwinch(curscr, 1, 1) & A_CHARTEXT, static_cast<chtype>('#'));
    char text[81] = {};
    mvwinnstr(curscr, 23, 0, text, 80);
    EXPECT_EQ(std::string(text), "x 12345 vdcegzb hjklw fstpn   old  " + std::string(14, ' ') +
                                     "paused  65ms  pass 1234  5 bugs");
    do_key('z');
    common::repaint(*shown);
    mvwinnstr(curscr, 0, 0, text, 11);
    EXPECT_STREQ(text, "Status -- 1");
    do_key('Z');
    EXPECT_TRUE(shown->show_map);
}

TEST_F(Keys, TheOverviewItsLegendTheSelectedBlockAndTheBugsPerBlock)
{
    // 48 x 160 on 24 x 80: blocks 2 columns wide and 3 rows tall, 16 rows of them; A, selected, on (2, 3).
    draw({"AAAB", "AA"});
    const std::pair<const char *, std::string> views[] = {
        {"o", "AA race of most bugs, else @ripe *sprout .seedling ~water #mountain"},
        {"m", "-: bugs per block: .1 :2+ -4+ =8+ +16+ *32+ #64+ %128+ @256+"}};
    for (const auto &[key, want] : views) {
        press(key), common::repaint(*shown);
        char text[81] = {};
        std::string rows = (mvwinnstr(curscr, 0, 0, text, 2), text);
        mvwinnstr(curscr, 22, 0, text, 80);
        EXPECT_EQ(rows + " " + text, want + "  selected bug" + std::string(80 - want.size() + 3 - 14, ' ')) << key;
        EXPECT_TRUE(mvwinch(curscr, 0, 1) & A_UNDERLINE && !(mvwinch(curscr, 0, 0) & A_UNDERLINE)) << key;
        EXPECT_TRUE(mvwinch(curscr, 7, 39) & A_REVERSE && !(mvwinch(curscr, 8, 40) & A_REVERSE)) << key;
        mvwinnstr(curscr, 23, 45, text, 35);
        EXPECT_STREQ(text, "overview 1:2x3  1us  pass 0  5 bugs") << key;
    }
}

TEST_F(Keys, TheWorldIsPaintedBeforeTheFirstDelay)
{
    shown->speed = 1 << 30;  // the slowest, as a world may be resumed at
    common::hooks.sleep_micros = [](useconds_t) {
        char text[81] = {};
        mvwinnstr(curscr, 23, 0, text, 80);
        throw interrupted{-3, text};
    };
    try {
        common::main_loop(*shown);
        ADD_FAILURE() << "no delay";
    } catch (const interrupted &stop) {
        EXPECT_NE(stop.text.find("pass 0"), std::string::npos);
    }
}

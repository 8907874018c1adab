// The key commands of terrarium, typed into a pseudo-terminal that the real
// keyboard module reads: modes, speed, selection, popups, the view.
#include <gtest/gtest.h>

#include <climits>
#include <deque>
#include <string>
#include <vector>

#include "common/kb.h"
#include "common/popup.h"
#include "common/term.h"
#include "terrarium/driver.h"
#include "terrarium/globals.h"
#include "tests/support/headless.h"
#include "tests/support/pty_keyboard.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using terrarium_test::add_bug;
using terrarium_test::blank_world;

namespace {

// What the program showed, in order: each popup as "<phase> <text> <s>s",
// each wait for a key while paused as "<phase> idle".
std::vector<std::string> seen;
// Keys to type, one chunk each time the paused program waits for a key.
std::deque<std::string> still_to_type;
pty_keyboard *keyboard = nullptr;

struct nothing_left_to_type {};

// The mode while the last popup was shown.
int paused_when_shown = -1;

void note_popup(const char *text, int seconds)
{
    paused_when_shown = paused;
    seen.push_back(std::to_string(phase) + " " + text + " " + std::to_string(seconds) + "s");
}

// The idle wait of the key loop sleeps 100000 microseconds; the pass
// boundary sleeps `speed`, which these tests keep away from that value.
void sleep_or_type(useconds_t micros)
{
    if (micros != 100000)
        return;
    seen.push_back(std::to_string(phase) + " idle");
    if (still_to_type.empty()) {
        if (keyboard->waiting() > 0)
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
        init_kb();
        keyboard = &kbd;
        popup_observer = note_popup;
        fresh_world();
    }

    // Five bugs in a blank 48 x 160 world on 80 x 24, the loop state at its
    // start values, nothing typed and nothing seen.
    void fresh_world()
    {
        blank_world(48, 160);
        a = add_bug(2, 3, 'A', 1);
        b = add_bug(10, 20, 'B', 2);
        c = add_bug(30, 100, 'C', 3);
        d = add_bug(47, 159, 'D', 0);
        e = add_bug(0, 0, 'E', 0);
        sleep_micros = sleep_or_type;
        while (kb_hit())
            read_kb();
        seen.clear();
        still_to_type.clear();
    }

    void TearDown() override
    {
        popup_observer = nullptr;
        no_sleeping();
        while (kb_hit())
            read_kb();
        close_kb();
        keyboard = nullptr;
    }

    // Runs the real main loop: types the first chunk, and each further
    // chunk whenever the paused program waits for a key, until a quit.
    // Returns the popups and waits seen, and the phase of the quit.
    std::vector<std::string> run(std::deque<std::string> script)
    {
        kbd.type(script.front());
        script.pop_front();
        still_to_type = script;
        try {
            main_loop();
        } catch (const stop_seen &stop) {
            EXPECT_EQ(stop.status, 0);
            seen.push_back(std::to_string(phase) + " stop");
        } catch (const nothing_left_to_type &) {
            seen.push_back(std::to_string(phase) + " waits for more keys");
        }
        return seen;
    }

    // Handles the typed keys with the key loop while paused, until a key
    // that leaves the loop.
    void paused_keys(const std::string &typed)
    {
        kbd.type(typed);
        paused = 1;
        try {
            key_loop();
        } catch (const nothing_left_to_type &) {
            ADD_FAILURE() << "the key loop still waits for keys";
        }
    }

    pty_keyboard kbd;
    bug *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr, *e = nullptr;
};

// The state that commands may change, for checking that one did not.
struct loop_state {
    int speed, show_map, paused, view_row, view_col;
    const bug *sb;
    std::string label;
    bool operator==(const loop_state &o) const
    {
        return speed == o.speed && show_map == o.show_map && paused == o.paused &&
               view_row == o.view_row && view_col == o.view_col && sb == o.sb && label == o.label;
    }
};

loop_state now() { return {speed, show_map, paused, view_row, view_col, sb, track_label}; }

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
        {"running: one key per pass boundary",
         {"6a \r\x03x"},
         {"1 bad key 1s", "2 bad key 1s", "3 bad key 1s", "4 bad key 1s", "5 bad key 1s", "6 stop"}},
        {"paused: every key at once",
         {"p6a x"},
         {"1 Pause 1s", "1 bad key 1s", "1 bad key 1s", "1 bad key 1s", "1 stop"}},
        {"paused: waits, repainting, until a key comes",
         {"p", "", "", "x"},
         {"1 Pause 1s", "1 idle", "1 idle", "1 idle", "1 stop"}},
        {"p twice resumes, both popups shown",
         {"ppx"},
         {"1 Pause 1s", "1 Pause 1s", "2 stop"}},
        {"P pauses like p",
         {"P", "Px"},
         {"1 Pause 1s", "1 idle", "1 Pause 1s", "2 stop"}},
        {"n while running: one more pass, then paused; p resumes",
         {"n", "px"},
         {"1 Single step 1s", "2 idle", "2 Pause 1s", "3 stop"}},
        {"each further n runs one more pass",
         {"n", "N", "n", "x"},
         {"1 Single step 1s", "2 idle", "2 Single step 1s", "3 idle", "3 Single step 1s", "4 idle",
          "4 stop"}},
        {"n while paused: one pass, then paused again",
         {"pn", "x"},
         {"1 Pause 1s", "1 Single step 1s", "2 idle", "2 stop"}},
        {"t while paused: top speed and running",
         {"p", "tx"},
         {"1 Pause 1s", "1 idle", "1 speed=0 1s", "2 stop"}},
        {"f while paused: faster and running",
         {"p", "fx"},
         {"1 Pause 1s", "1 idle", "1 speed=0 1s", "2 stop"}},
        {"s while paused: slower and running",
         {"p", "Sx"},
         {"1 Pause 1s", "1 idle", "1 speed=2 1s", "2 stop"}},
        {"s while single-stepping: running",
         {"n", "sx"},
         {"1 Single step 1s", "2 idle", "2 speed=2 1s", "3 stop"}},
        {"keys that do not touch the mode keep it paused",
         {"p", "hjkl12345gzzv6", "x"},
         {"1 Pause 1s", "1 idle", "1 x=3  y=2  v=1 2s", "1 bad key 1s", "1 idle", "1 stop"}},
        {"a NUL byte is an idle wait",
         {"p", nul, "x"},
         {"1 Pause 1s", "1 idle", "1 idle", "1 stop"}},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        fresh_world();
        EXPECT_EQ(run(r.script), r.want);
    }
}

TEST_F(Keys, SpeedChangesAndClearsThePause)
{
    struct row {
        const char *name;
        int speed;
        int key;
        int want;
    };
    const row rows[] = {
        {"f from 1 to 0", 1, 'f', 0},
        {"f at 0 keeps 0", 0, 'f', 0},
        {"f from 3 to 1", 3, 'f', 1},
        {"f from 2 to 1", 2, 'F', 1},
        {"f halves", 1000, 'f', 500},
        {"f from the largest", INT_MAX, 'f', INT_MAX / 2},
        {"s from 0 to 1", 0, 's', 1},
        {"s from 1 to 2", 1, 's', 2},
        {"s doubles", 4, 'S', 8},
        {"s just below 2^30", 1 << 29, 's', 1 << 30},
        {"s at 2^30 stays", 1 << 30, 's', 1 << 30},
        {"s at the largest stays", INT_MAX, 's', INT_MAX},
        {"s just above 2^30 stays", (1 << 30) + 1, 's', (1 << 30) + 1},
        {"t from any speed", 12345, 't', 0},
        {"T at 0", 0, 'T', 0},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        seen.clear();
        speed = r.speed;
        paused = 1;
        do_key(r.key);
        EXPECT_EQ(speed, r.want);
        EXPECT_EQ(paused_when_shown, 1) << "the pause ends after the popup";
        EXPECT_EQ(paused, 0);
        EXPECT_EQ(seen, std::vector<std::string>{"0 speed=" + std::to_string(r.want) + " 1s"});
    }
}

TEST_F(Keys, PauseAndSingleStepChangeTheModeAfterTheirPopup)
{
    struct row {
        const char *name;
        int paused, key;
        int want_paused, want_key;
    };
    const row rows[] = {
        {"p from running", 0, 'p', 1, 0},
        {"p from paused", 1, 'P', 0, 0},
        {"n from running", 0, 'n', 1, 'n'},
        {"n from paused", 1, 'N', 1, 'N'},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        paused = r.paused;
        key = r.key;
        do_key(r.key);
        EXPECT_EQ(paused_when_shown, r.paused);
        EXPECT_EQ(paused, r.want_paused);
        EXPECT_EQ(key, r.want_key);
    }
}

TEST_F(Keys, IdleRepaintsTheViewAndTheStatusLine)
{
    terrarium_test::put(1, 81, '#');
    view_col = 80;
    track_label = "old";
    paused_keys(std::string(1, '\0') + "p");
    EXPECT_EQ(mvwinch(curscr, 1, 1) & A_CHARTEXT, static_cast<chtype>('#'));
    std::string status;
    for (int col = 0; col < 35; col++)
        status += static_cast<char>(mvwinch(curscr, 23, col) & A_CHARTEXT);
    EXPECT_EQ(status, "x 12345 vdcegzb hjklw fstpn   old  ");
}

TEST_F(Keys, SlowerFromTopSpeedDoublesFromOne)
{
    speed = 0;
    std::vector<int> speeds;
    for (int i = 0; i < 5; i++) {
        do_key('s');
        speeds.push_back(speed);
    }
    EXPECT_EQ(speeds, (std::vector<int>{1, 2, 4, 8, 16}));
}

TEST_F(Keys, SelectionKeysAndTheirLabels)
{
    hf = b;
    hg = c;
    old = d;
    hk = e;
    struct row {
        int key;
        const bug *want;
        const char *label;
    };
    const row rows[] = {
        {'2', b, "hf "}, {'3', c, "hg "}, {'4', d, "old"}, {'5', e, "hk "}, {'1', a, "xx "},
        {'1', b, "xx "},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(std::string("key ") + static_cast<char>(r.key));
        do_key(r.key);
        EXPECT_EQ(sb, r.want);
        EXPECT_STREQ(track_label, r.label);
    }
    EXPECT_TRUE(seen.empty()) << "selection shows no popup";
}

TEST_F(Keys, NextBugAsManyTimesAsThereAreBugsComesBack)
{
    sb = c;
    track_label = "hg ";
    paused_keys("11111p");
    EXPECT_EQ(sb, c);
    EXPECT_STREQ(track_label, "xx ");
    EXPECT_EQ(seen, std::vector<std::string>{"0 Pause 1s"});
}

TEST_F(Keys, PopupTextsAndDurations)
{
    bug *q = add_bug(3, 7, 'Q', 2);
    q->gen = 4;
    q->age = 17;
    q->food = 1234;
    q->size = 56;
    q->vision = 3;
    for (int i = 0; i < GENES; i++)
        q->dna[i] = i % 4;
    bug *low = add_bug(5, 5, 'Z', 0);
    low->gen = low->age = low->food = low->size = low->vision = INT_MIN;
    attraction(low, '@') = INT_MIN;
    bug *high = add_bug(6, 6, '~', 0);
    high->gen = high->age = high->food = high->size = high->vision = INT_MAX;
    attraction(high, '@') = INT_MAX;

    struct row {
        bug *selected;
        int key;
        std::string want;
    };
    const row rows[] = {
        {q, 'v', "x=7  y=3  v=2 2s"},
        {q, 'V', "x=7  y=3  v=2 2s"},
        {q, 'd', "0123012301230123012301230 5s"},
        {q, 'D', "0123012301230123012301230 5s"},
        {q, 'c', "R=Q G=4 A=17 Fd=1234 S=56 Fv=3 F@=15  3s"},
        {q, 'C', "R=Q G=4 A=17 Fd=1234 S=56 Fv=3 F@=15  3s"},
        {low, 'c',
         "R=Z G=-2147483648 A=-2147483648 Fd=-2147483648 S=-2147483648 Fv=-2147483648 "
         "F@=-2147483648  3s"},
        {high, 'c',
         "R=~ G=2147483647 A=2147483647 Fd=2147483647 S=2147483647 Fv=2147483647 F@=2147483647  3s"},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(std::string("key ") + static_cast<char>(r.key));
        seen.clear();
        sb = r.selected;
        do_key(r.key);
        EXPECT_EQ(seen, std::vector<std::string>{"0 " + r.want});
    }
}

TEST_F(Keys, WorldStatistics)
{
    struct row {
        const char *name;
        int rows, cols, water, mountain;
        std::string want;
    };
    const row rows[] = {
        {"default world on 80x24", 48, 160, 768, 1536, "A=7680 W=10.00 M=20.00 S=70.00"},
        {"no terrain", 48, 160, 0, 0, "A=7680 W=0.00 M=0.00 S=100.00"},
        {"shares rounded to two decimals", 48, 160, 1, 2, "A=7680 W=0.01 M=0.03 S=99.96"},
        {"products beyond 32 bits", 10000, 30000, 150000000, 75000000,
         "A=300000000 W=50.00 M=25.00 S=25.00"},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        seen.clear();
        world_row = r.rows;
        world_col = r.cols;
        wtr_c = r.water;
        mnt_c = r.mountain;
        do_key('w');
        do_key('W');
        EXPECT_EQ(seen, (std::vector<std::string>{"0 " + r.want + " 5s", "0 " + r.want + " 5s"}));
    }
    world_row = 48;
    world_col = 160;
}

TEST_F(Keys, ScrollingStopsAtTheBounds)
{
    struct row {
        const char *name;
        int rows, cols;
        int from_row, from_col;
        int key;
        int want_row, want_col;
    };
    // On 80x24 a 48x160 world scrolls rows 0..25 and columns 0..80.
    const row rows[] = {
        {"h at column 0", 48, 160, 4, 0, 'h', 4, 0},
        {"h moves left", 48, 160, 4, 5, 'H', 4, 4},
        {"k at row 0", 48, 160, 0, 7, 'k', 0, 7},
        {"k moves up", 48, 160, 3, 7, 'K', 2, 7},
        {"j at the last row", 48, 160, 25, 7, 'j', 25, 7},
        {"j moves down to it", 48, 160, 24, 7, 'J', 25, 7},
        {"l at the last column", 48, 160, 3, 80, 'l', 3, 80},
        {"l moves right to it", 48, 160, 3, 79, 'L', 3, 80},
        {"world as tall as the view: j stays", 23, 160, 0, 0, 'j', 0, 0},
        {"world as wide as the view: l stays", 48, 80, 0, 0, 'l', 0, 0},
        {"world smaller than the view: j stays", 6, 20, 0, 0, 'j', 0, 0},
        {"world smaller than the view: l stays", 6, 20, 0, 0, 'l', 0, 0},
        {"world smaller than the view: h stays", 6, 20, 0, 0, 'h', 0, 0},
        {"world smaller than the view: k stays", 6, 20, 0, 0, 'k', 0, 0},
        {"negative origin: h and k leave it", 6, 20, -17, -60, 'h', -17, -60},
        {"negative origin: j stays below its bound", 6, 20, -17, -60, 'j', -17, -60},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        blank_world(r.rows, r.cols);
        add_bug(0, 0, 'A');
        view_row = r.from_row;
        view_col = r.from_col;
        do_key(r.key);
        EXPECT_EQ(view_row, r.want_row);
        EXPECT_EQ(view_col, r.want_col);
    }
    EXPECT_TRUE(seen.empty());
}

TEST_F(Keys, CentringOnTheSelectedBug)
{
    struct row {
        const char *name;
        int lines, cols_on_screen, rows, cols;
        int y, x;
        int want_row, want_col;
    };
    const row rows[] = {
        {"bug at the origin", 24, 80, 48, 160, 0, 0, 0, 0},
        {"bug in the last row and column", 24, 80, 48, 160, 47, 159, 25, 80},
        {"bug in the middle", 24, 80, 48, 160, 30, 100, 19, 60},
        {"low and left: both clamps", 24, 80, 48, 160, 40, 10, 25, 0},
        {"odd screen: halves truncate", 25, 81, 50, 162, 20, 50, 8, 10},
        {"world smaller than the view: negative origin", 24, 80, 6, 20, 3, 10, -17, -60},
        {"world smaller than the view, bug at 0,0", 24, 80, 6, 20, 0, 0, -17, -60},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        blank_world(r.rows, r.cols, r.lines, r.cols_on_screen);
        sb = add_bug(r.y, r.x, 'A');
        view_row = 5;
        view_col = 5;
        do_key('g');
        EXPECT_EQ(view_row, r.want_row);
        EXPECT_EQ(view_col, r.want_col);
        view_row = view_col = 3;
        do_key('G');
        EXPECT_EQ(view_row, r.want_row);
        EXPECT_EQ(view_col, r.want_col);
        repaint();  // a negative origin is handed to curses as it is
    }
}

TEST_F(Keys, MapOrStatisticsToggles)
{
    EXPECT_EQ(show_map, 1);
    do_key('z');
    EXPECT_EQ(show_map, 0);
    repaint();
    do_key('Z');
    EXPECT_EQ(show_map, 1);
}

TEST_F(Keys, QuitEndsThroughTheOrderlyStop)
{
    for (int k : {'x', 'X'}) {
        try {
            do_key(k);
            ADD_FAILURE() << "no stop";
        } catch (const stop_seen &stop) {
            EXPECT_EQ(stop.status, 0);
            EXPECT_EQ(stop.message, "");
        }
    }
}

TEST_F(Keys, TypedBadKeysShowBadKeyAndChangeNothing)
{
    struct row {
        const char *name;
        std::string typed;
    };
    const row rows[] = {
        {"6", "6"},          {"a", "a"},        {"space", " "},     {"Enter", "\r"},
        {"Ctrl-C", "\x03"},  {"Ctrl-Z", "\x1a"}, {"0xFF", "\xff"},   {"0x80", "\x80"},
        {"{", "{"},          {"DEL", "\x7f"},   {"A", "A"},         {"0", "0"},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        seen.clear();
        loop_state before = now();
        kbd.type(r.typed);
        try {
            key_loop();
        } catch (const nothing_left_to_type &) {
            ADD_FAILURE() << "waits for keys";
        }
        EXPECT_EQ(seen, std::vector<std::string>{"0 bad key 1s"});
        EXPECT_TRUE(now() == before);
    }
}

TEST_F(Keys, EveryByteWithoutACommandIsABadKey)
{
    // The bytes 1 to 255 that have no command.
    std::string bad;
    for (int k = 1; k <= 48; k++)
        bad += static_cast<char>(k);
    bad += "6789:;<=>?@AIMOQRUY[\\]^_`aimoqruy";
    for (int k = 123; k <= 255; k++)
        bad += static_cast<char>(k);
    // Commands whose effect would leave this test: quit, editor, viewer.
    const std::string leaving = "xXeEbB";

    for (int byte = 1; byte <= 255; byte++) {
        int k = static_cast<signed char>(byte);
        bool is_bad = bad.find(static_cast<char>(byte)) != std::string::npos;
        if (!is_bad && leaving.find(static_cast<char>(byte)) != std::string::npos)
            continue;
        SCOPED_TRACE("byte " + std::to_string(byte));
        seen.clear();
        loop_state before = now();
        do_key(k);
        if (is_bad) {
            EXPECT_EQ(seen, std::vector<std::string>{"0 bad key 1s"});
            EXPECT_TRUE(now() == before);
        } else {
            for (const std::string &s : seen)
                EXPECT_NE(s, "0 bad key 1s");
        }
        paused = 0;
    }
}

TEST_F(Keys, KeysTypedFasterThanThePassesWaitInTheTerminal)
{
    kbd.type("v6");
    key_loop();
    EXPECT_EQ(seen, std::vector<std::string>{"0 x=3  y=2  v=1 2s"});
    EXPECT_EQ(kb_hit(), 1) << "the second key is still waiting";
    key_loop();
    EXPECT_EQ(seen, (std::vector<std::string>{"0 x=3  y=2  v=1 2s", "0 bad key 1s"}));
}

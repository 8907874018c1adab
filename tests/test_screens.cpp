// The inspection screens: statistics read back from the screen, the
// motivation viewer, and both gene editors with their answers.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <regex>
#include <unistd.h>

#include "common/edit_window.h"
#include "common/hooks.h"
#include "common/kb.h"
#include "terrarium/edit.h"
#include "terrarium/init.h"
#include "terrarium/stat.h"
#include "terrarium/view_t.h"
#include "tests/support/pty_keyboard.h"
#include "tests/support/world.h"
#include "vivarium/edit.h"
#include "vivarium/stat.h"

namespace {

// Row `row` of a window from column `col`, `n` wide, without trailing blanks.
std::string row_of(WINDOW *win, int row, int col = 0, int n = 0)
{
    std::string text(static_cast<size_t>(n > 0 ? n : COLS) + 1, '\0');
    mvwinnstr(win, row, col, &text[0], n > 0 ? n : COLS);
    text.resize(std::strlen(text.c_str()));
    return text.erase(text.find_last_not_of(' ') + 1);
}

// A printed line as curses shows it: tabs to the next multiple of 8.
std::string tabbed(const std::string &text)
{
    std::string line;
    for (char c : text)
        line.append(c == '\t' ? 8 - line.size() % 8 : 1, c == '\t' ? ' ' : c);
    return line.erase(line.find_last_not_of(' ') + 1);
}

template <class Bug>
Bug *with(Bug *b, int age, int food, int size, int vision = 0)
{
    b->age = age, b->food = food, b->size = size;
    if constexpr (std::is_same_v<Bug, terrarium::bug>)
        b->vision = vision;
    return b;
}

}  // namespace

TEST(Stat, TerrariumHeaderTotalsAndRacesMostNumerousFirst)
{
    terrarium::apply_options({});
    terrarium_side::blank(10, 10, 10, 200);
    with(terrarium_side::add(0, 0, 'F'), 1, -1, 3, 1);
    with(terrarium_side::add(0, 0, 'F'), 2, -2, 4, 2);
    with(terrarium_side::add(0, 0, 'A'), 10, 400, 10, 9);
    for (char race : {'Z', 'C', 'a', 'Z', '#', 'B', 'M', 'M', 'M'})
        terrarium_side::add(0, 0, race);
    for (int i = 0; i < 2; i++)
        with(terrarium_side::add(0, 0, 'N'), INT_MAX, INT_MAX, 100, INT_MAX);
    terrarium::stat();
    EXPECT_TRUE(std::regex_match(row_of(stdscr, 0), std::regex("Status -- 150/4 -- 2\\.00 -- 503 -- [A-Z][a-z]{2} "
                                                               "[ 1-3][0-9] [0-9]{4} -- [0-2][0-9]:[0-5][0-9]:[0-5][0-9] --")))
        << row_of(stdscr, 0);
    // Totals over every bug in 64 bits; most numerous first, ties in byte
    // order; averages truncate toward zero; two rows left free below.
    const std::string max = std::to_string(INT_MAX);
    const std::vector<std::string> want = {
        "race\tpop\tage\tamax\tafood\tsavg\tsmax\tfavg\tfmax",
        "all\t14\t" + std::to_string((13 + 2LL * INT_MAX) / 14) + "\t\t" + std::to_string((9397 + 2LL * INT_MAX) / 14) +
            "\t\t\t" + std::to_string((57 + 2LL * INT_MAX) / 14),
        "M\t3\t0\t0\t1000\t10\t10\t5\t5",
        "F\t2\t1\t2\t-1\t3\t4\t1\t2",
        "N\t2\t" + max + "\t" + max + "\t" + max + "\t100\t100\t" + max + "\t" + max,
        "Z\t2\t0\t0\t1000\t10\t10\t5\t5",
        "#\t1\t0\t0\t1000\t10\t10\t5\t5",
        "",
        ""};
    for (size_t i = 0; i < want.size(); i++)
        EXPECT_EQ(row_of(stdscr, static_cast<int>(i + 1)), tabbed(want[i])) << "row " << i + 1;
    terrarium_side::blank(10, 10, 5, 80);  // 5 rows: no race fits, the head stays
    terrarium_side::add(0, 0, 'B');
    terrarium::stat();
    EXPECT_EQ(row_of(stdscr, 2), tabbed("all\t1\t0\t\t1000\t\t\t5"));
    EXPECT_EQ(row_of(stdscr, 3), "");
}

TEST(Stat, VivariumRacesInByteOrderOverACountedWalk)
{
    struct row {
        int population;
        std::vector<std::string> rows;  // from row 2 on
    };
    const row rows[] = {
        {6, {"all\t6\t11\t\t415", "A\t1\t4\t4\t90\t90\t7\t7\t7", "B\t2\t1\t2\t150\t201\t2\t3\t5",
             "C\t3\t20\t30\t700\t900\t50\t60\t70", ""}},
        {2, {"all\t2\t7\t\t295", "A\t1\t4\t4\t90\t90\t7\t7\t7", "C\t1\t10\t10\t500\t500\t50\t50\t50", ""}},
        {0, {"all\t0\t0\t\t0", ""}},
    };
    for (const row &r : rows) {
        vivarium_side::blank(17, 17);
        const int bugs[][4] = {{'C', 10, 500, 50}, {'A', 4, 90, 7}, {'B', 1, 100, 2},
                               {'C', 20, 700, 60}, {'B', 2, 201, 5}, {'C', 30, 900, 70}};
        for (const auto &b : bugs)
            with(vivarium_side::add(0, 0, static_cast<char>(b[0])), b[1], b[2], b[3]);
        vivarium::population = r.population;
        vivarium::stat();
        EXPECT_EQ(row_of(stdscr, 0), "Status --------------------------------------------------------------");
        EXPECT_EQ(row_of(stdscr, 1), tabbed("race\tpop\tage\tamax\tfood\tfmax\tsmin\tsavg\tsmax"));
        for (size_t i = 0; i < r.rows.size(); i++)
            EXPECT_EQ(row_of(stdscr, static_cast<int>(2 + i)), tabbed(r.rows[i])) << "population " << r.population;
    }
    vivarium::population = 6;
    vivarium_side::die(vivarium::bugs->next);  // the only A
    vivarium::stat();
    EXPECT_EQ(row_of(stdscr, 3).substr(0, 1), "B") << "a race that dies out is no longer listed";
}

TEST(ViewT, TheNonZeroAttractionsFourToARowForTenSeconds)
{
    static std::vector<std::string> shown;
    static unsigned slept;
    terrarium_side::blank(20, 60);
    common::hooks.sleep_seconds = [](unsigned s) {
        slept = s;
        shown.clear();
        for (int row = 0; row < 10; row++)
            shown.push_back(row_of(curscr, 2 + row, 2, 35));
    };
    terrarium::bug *b = terrarium_side::add(3, 4, 'K');
    terrarium::view_t(b);
    ASSERT_EQ(slept, 10u);
    EXPECT_EQ(shown[1], "| @ +0015 A +0005 B +0005 C +0005 |");
    EXPECT_EQ(shown[7], "| X +0005 Y +0005 Z +0005         |");
    // Signs and four digits; of 40 entries rows 1 to 7 hold 28, the bottom
    // border four more, and the rest fall outside the window.
    std::memset(b->motive, 0, sizeof b->motive);
    for (int g = '0'; g < '0' + 40; g++)
        b->motive[g] = 1;
    b->motive['0'] = -3;
    b->motive['1'] = -120;
    terrarium::view_t(b);
    EXPECT_EQ(shown[1], "| 0 -0003 1 -0120 2 +0001 3 +0001 |");
    EXPECT_EQ(shown[8].substr(2), "L +0001 M +0001 N +0001 O +0001 j");
    EXPECT_EQ(shown[9], "");
    common::hooks = common::default_hooks;
}

TEST(Edit, TerrariumAnswersReadAsCharacterAndNumber)
{
    // A race that would pass for a map glyph, or not show, is no race.
    const std::pair<const char *, char> races[] = {{"", 'N'}, {"ab", 'a'}, {"\x01Q", 'N'}, {"\xc3\xa9", 'N'}, {"~", 'N'}};
    for (const auto &[line, want] : races) {
        char race = 'N';
        EXPECT_TRUE(terrarium::race_answer(line, &race) == (want != 'N') && race == want) << "\"" << line << "\"";
    }
    const std::pair<const char *, int> genes[] = {{"x", 9}, {"- 2", 9}, {"  +2x", 2}, {"-1", -1}, {"4294967298", INT_MAX}};
    for (const auto &[line, want] : genes) {  // 9: nothing read
        int gene = 9;
        EXPECT_TRUE(terrarium::gene_answer(line, &gene) == (want != 9) && gene == want) << "\"" << line << "\"";
    }
}

TEST(Edit, TerrariumAsksEachGeneUntilItIsAnActionCode)
{
    int fds[2];  // curses' line input, here from a pipe
    ASSERT_EQ(pipe(fds), 0);
    std::string answers = "Q\n7\n4\n\n2\n-1\n3\n" + std::string(23, '\n') + "extra\n";
    ASSERT_EQ(write(fds[1], answers.data(), answers.size()), static_cast<ssize_t>(answers.size()));
    std::FILE *in = fdopen(fds[0], "r"), *out = std::fopen("/dev/null", "w");
    terrarium_side::blank(20, 60);
    terrarium::bug *b = terrarium_side::add(3, 4, 'N');
    SCREEN *screen = newterm("xterm", out, in), *before = set_term(screen);
    terrarium::edit(b);
    std::string left;
    for (int c; (c = wgetch(stdscr)) != '\n' && c != ERR;)
        left += static_cast<char>(c);
    endwin();
    set_term(before);
    delscreen(screen);
    std::fclose(in);
    std::fclose(out);
    close(fds[1]);
    EXPECT_EQ(b->race, 'Q');
    EXPECT_EQ(common::gene_digits(b->dna, 3), "230") << "7, 4, an empty answer after them and -1 are asked again";
    EXPECT_EQ(left, "extra") << "exactly the answers are read";
}

TEST(Edit, VivariumAnswersAreReadOneCharacterAtATime)
{
    struct row {
        const char *name;
        std::string typed;
        char race;
        std::string genes;
        int asked;  // questions, the race's included
    };
    const row rows[] = {
        {"line ends are white space, then the end", "B3\n3\n3" + std::string(21, '\n') + "1\n", 'B',
         "3331012301230123012301230", 26},
        {"7 then 2 for gene 0", "Z7\n2\n", 'Z', "2123012301230123012301230", 27},
        {"-1, 12, then 1 for gene 3", "Z\n0\n0\n0\n-1\n12\n1\n", 'Z', "0001012301230123012301230", 28},
        {"a letter stops the reading of every later gene", "Z1\n1\nx\n2\n", 'Z', "1123012301230123012301230", 26},
        {"2 followed by x: 2, then nothing", "Z2x3\n", 'Z', "2123012301230123012301230", 26},
        {"a control character is no race", "\x03" "3\n", 'Q', "3123012301230123012301230", 26},
        {"nor is a map glyph", "~3\n", 'Q', "3123012301230123012301230", 26},
        {"huge numbers saturate, never wrap into range", "Z4294967298\n-4294967295\n1", 'Z',
         "1123012301230123012301230", 28},
    };
    for (const row &r : rows) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        ASSERT_EQ(write(fds[1], r.typed.data(), r.typed.size()), static_cast<ssize_t>(r.typed.size()));
        close(fds[1]);  // then the end of the input
        vivarium::answer_reader in(fds[0]);
        in.unget('\n');  // the end of an earlier call's last answer: dropped
        char race = 'Q';
        common::gene_t dna[25];
        for (int i = 0; i < 25; i++)
            dna[i] = static_cast<common::gene_t>(i % 4);
        int asked = 0;
        vivarium::read_answers(in, &race, dna, [&](int) { asked++; });
        close(fds[0]);
        EXPECT_EQ(race, r.race) << r.name;
        EXPECT_EQ(common::gene_digits(dna, 25), r.genes) << r.name;
        EXPECT_EQ(asked, r.asked) << r.name;
    }
    pty_keyboard keyboard;  // and from the keyboard, what was typed ahead
    common::save_setting();
    common::init_kb();
    keyboard.type("junk typed ahead\n");
    vivarium::answer_reader in(0);
    in.discard();
    EXPECT_EQ(pty_keyboard::waiting(), 0);
    keyboard.type("C");
    EXPECT_EQ(in.get(), 'C');
    common::close_kb();
}

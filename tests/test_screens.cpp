// The inspection screens: statistics read back from the screen, the
// motivation viewer, and both gene editors with their answers.
#include <gtest/gtest.h>

#include <climits>
#include <regex>
#include <cstring>
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

// Row `row` of a window, without trailing blanks.
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
    b->age = age;
    b->food = food;
    b->size = size;
    if constexpr (std::is_same_v<Bug, terrarium::bug>)
        b->vision = vision;
    return b;
}

}  // namespace

TEST(Stat, TerrariumHeaderTotalsAndRacesMostNumerousFirst)
{
    terrarium::options defaults;
    terrarium::apply_options(defaults);
    terrarium_side::blank(10, 10, 10, 200);
    with(terrarium_side::add(0, 0, 'F'), 1, -1, 3, 1);
    with(terrarium_side::add(0, 0, 'F'), 2, -2, 4, 2);
    with(terrarium_side::add(0, 0, 'A'), 10, 400, 10, 9);
    for (char race : {'Z', 'C', 'a', 'Z', '#', 'B', 'M', 'M', 'M'})
        terrarium_side::add(0, 0, race);
    with(terrarium_side::add(0, 0, 'N'), INT_MAX, INT_MAX, 100, INT_MAX);
    with(terrarium_side::add(0, 0, 'N'), INT_MAX, INT_MAX, 100, INT_MAX);
    terrarium::stat();
    EXPECT_TRUE(std::regex_match(row_of(stdscr, 0), std::regex("Status -- 150/4 -- 2\\.00 -- 503 -- [A-Z][a-z][a-z] "
                                                               "[ 1-3][0-9] [0-9]{4} -- [0-2][0-9]:[0-5][0-9]:[0-5][0-9] --")))
        << row_of(stdscr, 0);
    EXPECT_EQ(row_of(stdscr, 1), tabbed("race\tpop\tage\tamax\tafood\tsavg\tsmax\tfavg\tfmax"));
    // Totals over every bug, in 64 bits: ages 13 + 2 x INT_MAX over 14 bugs.
    EXPECT_EQ(row_of(stdscr, 2), tabbed("all\t14\t" + std::to_string((13 + 2LL * INT_MAX) / 14) + "\t\t" +
                                        std::to_string((397 + 9000 + 2LL * INT_MAX) / 14) + "\t\t\t" +
                                        std::to_string((12 + 45 + 2LL * INT_MAX) / 14)));
    // Most numerous first, ties in byte order; averages truncate toward
    // zero (food -3 over two is -1); rows stop above the last two lines.
    const std::string max = std::to_string(INT_MAX);
    EXPECT_EQ(row_of(stdscr, 3), tabbed("M\t3\t0\t0\t1000\t10\t10\t5\t5"));
    EXPECT_EQ(row_of(stdscr, 4), tabbed("F\t2\t1\t2\t-1\t3\t4\t1\t2"));
    EXPECT_EQ(row_of(stdscr, 5), tabbed("N\t2\t" + max + "\t" + max + "\t" + max + "\t100\t100\t" + max + "\t" + max));
    EXPECT_EQ(row_of(stdscr, 6), tabbed("Z\t2\t0\t0\t1000\t10\t10\t5\t5"));
    EXPECT_EQ(row_of(stdscr, 7), tabbed("#\t1\t0\t0\t1000\t10\t10\t5\t5"));
    EXPECT_EQ(row_of(stdscr, 8), "");
    EXPECT_EQ(row_of(stdscr, 9), "");
}

TEST(Stat, TerrariumShortScreensListNoRaceButKeepTheirHead)
{
    for (int lines : {5, 6}) {
        terrarium_side::blank(10, 10, lines, 80);
        terrarium_side::add(0, 0, 'B');
        terrarium_side::add(0, 0, 'A');
        terrarium::stat();
        EXPECT_EQ(row_of(stdscr, 2).substr(0, 9), tabbed("all\t2")) << lines;
        EXPECT_EQ(row_of(stdscr, 3), lines == 6 ? tabbed("A\t1\t0\t0\t1000\t10\t10\t5\t5") : "") << lines;
    }
}

TEST(Stat, VivariumRacesInByteOrderOverACountedWalk)
{
    struct row {
        int population;
        std::vector<std::string> rows;  // from row 2 on
    };
    const row rows[] = {
        {6,
         {"all\t6\t11\t\t415", "A\t1\t4\t4\t90\t90\t7\t7\t7", "B\t2\t1\t2\t150\t201\t2\t3\t5",
          "C\t3\t20\t30\t700\t900\t50\t60\t70", ""}},
        {2, {"all\t2\t7\t\t295", "A\t1\t4\t4\t90\t90\t7\t7\t7", "C\t1\t10\t10\t500\t500\t50\t50\t50", ""}},
        {0, {"all\t0\t0\t\t0", ""}},
    };
    for (const row &r : rows) {
        vivarium_side::blank(17, 17);
        with(vivarium_side::add(0, 0, 'C'), 10, 500, 50);
        with(vivarium_side::add(0, 1, 'A'), 4, 90, 7);
        with(vivarium_side::add(0, 2, 'B'), 1, 100, 2);
        with(vivarium_side::add(0, 3, 'C'), 20, 700, 60);
        with(vivarium_side::add(0, 4, 'B'), 2, 201, 5);
        with(vivarium_side::add(0, 5, 'C'), 30, 900, 70);
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
    EXPECT_EQ(shown[8].substr(1, 33), std::string(33, '-'));
    // Signs and four digits; 40 entries: rows 1 to 7 hold 28, row 8 (the
    // border) four more, and the rest fall outside the window.
    std::memset(b->motive, 0, sizeof b->motive);
    for (int g = '0'; g < '0' + 40; g++)
        b->motive[g] = 1;
    b->motive['0'] = -3;
    b->motive['1'] = -120;
    terrarium::view_t(b);
    EXPECT_EQ(shown[1], "| 0 -0003 1 -0120 2 +0001 3 +0001 |");
    EXPECT_EQ(shown[8].substr(2), "L +0001 M +0001 N +0001 O +0001 j") << "over the bottom border";
    EXPECT_EQ(shown[9], "");
    common::hooks = common::default_hooks;
}

TEST(Edit, AnswerRules)
{
    struct race_row {
        const char *line;
        char race;  // from 'N'
    };
    const race_row races[] = {{"", 'N'},     {"Q", 'Q'},     {"ab", 'a'},   {"7", '7'},    {" x", ' '},
                              {"\x01Q", 'N'}, {"\t", 'N'},    {"\x7f", 'N'}, {"\x80", 'N'}, {"\xc3\xa9", 'N'}};
    for (const race_row &r : races) {
        char race = 'N';
        EXPECT_EQ(terrarium::race_answer(r.line, &race), r.race != 'N') << "\"" << r.line << "\"";
        EXPECT_EQ(race, r.race) << "\"" << r.line << "\"";
    }
    struct gene_row {
        const char *line;
        int gene;  // from 9; 9 when nothing is read
    };
    const gene_row genes[] = {
        {"", 9},      {"x", 9},     {"-", 9},       {"- 2", 9},         {"2", 2},
        {"2x", 2},    {"  3", 3},   {"+2", 2},      {"-1", -1},         {"007", 7},
        {"0x3", 0},   {"3 2", 3},   {"4294967298", INT_MAX}, {"-4294967295", INT_MIN},
    };
    for (const gene_row &r : genes) {
        int gene = 9;
        EXPECT_EQ(terrarium::gene_answer(r.line, &gene), r.gene != 9) << "\"" << r.line << "\"";
        EXPECT_EQ(gene, r.gene) << "\"" << r.line << "\"";
    }
    for (int value = -1; value <= 4; value++)
        EXPECT_EQ(common::gene_ok(value), value >= 0 && value <= 3) << value;
}

TEST(Edit, TerrariumAsksEachGeneUntilItIsAnActionCode)
{
    // The editor reads curses' line input, here from a pipe.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string answers = "Q\n7\n4\n\n2\n-1\n3\n";
    for (int i = 2; i < 25; i++)
        answers += "\n";
    answers += "extra\n";
    ASSERT_EQ(write(fds[1], answers.data(), answers.size()), static_cast<ssize_t>(answers.size()));
    std::FILE *in = fdopen(fds[0], "r");
    std::FILE *out = std::fopen("/dev/null", "w");
    terrarium_side::blank(20, 60);
    terrarium::bug *b = terrarium_side::add(3, 4, 'N');
    SCREEN *screen = newterm("xterm", out, in);
    SCREEN *before = set_term(screen);
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
    EXPECT_EQ(b->dna[0], 2) << "7, 4 and an empty answer after them are asked again";
    EXPECT_EQ(b->dna[1], 3) << "-1 is asked again";
    EXPECT_EQ(b->dna[2], 0) << "an empty answer keeps the gene";
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
        {"every answer", "B3\n3\n3\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n1\n", 'B',
         "3330000000000000000000001", 26},
        {"7 then 2 for gene 0", "Z7\n2\n", 'Z', "2123012301230123012301230", 27},
        {"-1, 12, then 1 for gene 3", "Z\n0\n0\n0\n-1\n12\n1\n", 'Z', "0001012301230123012301230", 28},
        {"a letter stops the reading of every later gene", "Z1\n1\nx\n2\n", 'Z', "1123012301230123012301230", 26},
        {"2 followed by x: 2, then nothing", "Z2x3\n", 'Z', "2123012301230123012301230", 26},
        {"a control character is no race", "\x03" "3\n", 'Q', "3123012301230123012301230", 26},
        {"a number out of range, then the end", "Z9", 'Z', "0123012301230123012301230", 27},
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
}

TEST(Edit, VivariumDropsTheKeysTypedAheadOfTheRace)
{
    pty_keyboard keyboard;
    common::save_setting();
    common::init_kb();
    keyboard.type("junk typed ahead\n");
    vivarium::answer_reader in(0);
    in.unget('x');
    in.discard();
    EXPECT_EQ(pty_keyboard::waiting(), 0);
    keyboard.type("C");
    EXPECT_EQ(in.get(), 'C');
    common::close_kb();
}

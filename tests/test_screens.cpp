// The inspection screens: statistics read back from the screen, the
// motivation viewer, and both gene editors with their answers.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <regex>
#include <tuple>

#include "screen/edit_window.h"
#include "common/hooks.h"
#include "screen/kb.h"
#include "screen/overview.h"
#include "screen/term.h"
#include "programs/terrarium/edit.h"
#include "terrarium/init.h"
#include "terrarium/stat.h"
#include "programs/terrarium/view_t.h"
#include "tests/support/pty_keyboard.h"
#include "tests/support/world.h"
#include "programs/vivarium/edit.h"
#include "vivarium/stat.h"
#include "programs/terrarium/stat_screen.h"
#include "programs/vivarium/stat_screen.h"

namespace {

// A row of a window from column `col`, `n` wide (-1: to its end), without trailing blanks.
std::string row_of(WINDOW *win, int row, int col = 0, int n = -1)
{
    char text[512] = {};
    mvwinnstr(win, row, col, text, n);
    return std::regex_replace(text, std::regex(" +$"), "");
}

// The screen's rows from `first` on against lines printed with tabs, which
// curses moves on to the next multiple of 8.
void expect_rows(int first, const std::vector<std::string> &want, const std::string &name = "")
{
    for (int i = 0; i < static_cast<int>(want.size()); i++) {
        std::string line;
        for (char c : want[i])
            line.append(c == '\t' ? 8 - line.size() % 8 : 1, c == '\t' ? ' ' : c);
        EXPECT_EQ(row_of(stdscr, first + i), line) << name << " row " << first + i;
    }
}

}  // namespace

TEST(Stat, TerrariumHeaderTotalsAndRacesMostNumerousFirst)
{
    terrarium_side::blank(10, 10, 10, 200);
    terrarium_side::session();
    // Race, age, food, size, vision; the bugs added after them have 0, 1000, 10 and 5.
    const int bugs[][5] = {{'F', 1, -1, 3, 1}, {'F', 2, -2, 4, 2}, {'A', 10, 400, 10, 9},
                           {'N', INT_MAX, INT_MAX, 100, INT_MAX}, {'N', INT_MAX, INT_MAX, 100, INT_MAX}};
    for (const auto &r : bugs) {
        terrarium::bug *b = terrarium_side::add(0, 0, static_cast<char>(r[0]));
        b->age = r[1], b->food = r[2], b->size = r[3], b->vision = r[4];
    }
    for (char race : std::string("ZCaZ#BMMM"))
        terrarium_side::add(0, 0, race);
    terrarium::stat(terrarium_side::w());
    EXPECT_TRUE(std::regex_match(row_of(stdscr, 0), std::regex("Status -- 150/4 -- 2\\.00 -- 503 -- .{11} -- .{8} --")))
        << row_of(stdscr, 0);  // the build's date, then its time
    // Totals over every bug in 64 bits; most numerous first, ties in byte
    // order; averages truncate toward zero; two rows left free below.
    const std::string max = "\t2147483647", as_added = "\t0\t0\t1000\t10\t10\t5\t5";
    expect_rows(1, {"race\tpop\tage\tamax\tafood\tsavg\tsmax\tfavg\tfmax",
                    "all\t14\t306783379\t\t306784049\t\t\t306783382", "M\t3" + as_added, "F\t2\t1\t2\t-1\t3\t4\t1\t2",
                    "N\t2" + max + max + max + "\t100\t100" + max + max, "Z\t2" + as_added, "#\t1" + as_added, "", ""});
    terrarium_side::blank(10, 10, 5, 80);  // 5 rows: no race fits, the head stays
    terrarium_side::session();
    terrarium_side::add(0, 0, 'B');
    terrarium::stat(terrarium_side::w());
    expect_rows(2, {"all\t1\t0\t\t1000\t\t\t5", ""}, "5 rows");
}

TEST(Stat, VivariumRacesInByteOrderOverACountedWalk)
{
    const std::string a = "A\t1\t4\t4\t90\t90\t7\t7\t7";
    const std::pair<int, std::vector<std::string>> rows[] = {  // the population, the rows from 2 on
        {6, {"all\t6\t11\t\t415", a, "B\t2\t1\t2\t150\t201\t2\t3\t5", "C\t3\t20\t30\t700\t900\t50\t60\t70", ""}},
        {2, {"all\t2\t7\t\t295", a, "C\t1\t10\t10\t500\t500\t50\t50\t50", ""}}, {0, {"all\t0\t0\t\t0", ""}}};
    const int bugs[][4] = {{'C', 10, 500, 50}, {'A', 4, 90, 7}, {'B', 1, 100, 2},  // race, age, food, size
                           {'C', 20, 700, 60}, {'B', 2, 201, 5}, {'C', 30, 900, 70}};
    for (const auto &[population, want] : rows) {
        vivarium_side::blank(17, 17);
        vivarium_side::session();
        for (const auto &r : bugs) {
            vivarium::bug *b = vivarium_side::add(0, 0, static_cast<char>(r[0]));
            b->age = r[1], b->food = r[2], b->size = r[3];
        }
        vivarium_side::w().population = population;
        vivarium::stat(vivarium_side::w());
        expect_rows(2, want, "population " + std::to_string(population));
    }
    expect_rows(0, {"Status --------------------------------------------------------------",
                    "race\tpop\tage\tamax\tfood\tfmax\tsmin\tsavg\tsmax"});
    vivarium_side::w().population = 6;
    vivarium_side::die(vivarium_side::cursor()->next);  // the only A
    vivarium::stat(vivarium_side::w());
    EXPECT_EQ(row_of(stdscr, 3).substr(0, 1), "B") << "a race that dies out is no longer listed";
}

TEST(ViewT, TheNonZeroAttractionsFourToARowForTenSeconds)
{
    static std::vector<std::string> shown;  // the seconds the viewer sleeps, then the screen's rows 2 to 11
    terrarium_side::blank(20, 60);
    terrarium_side::session();
    common::hooks.sleep_seconds = [](unsigned s) {
        shown = {std::to_string(s)};
        for (int row = 2; row < 12; row++)
            shown.push_back(row_of(curscr, row, 2, 35));
    };
    terrarium::bug *b = terrarium_side::add(3, 4, 'K');
    terrarium::view_t(b);
    ASSERT_EQ(shown.at(0), "10");
    EXPECT_EQ(shown[2], "| @ +0015 A +0005 B +0005 C +0005 |");
    EXPECT_EQ(shown[8], "| X +0005 Y +0005 Z +0005         |");
    // Signs and four digits; of 40 entries rows 1 to 7 hold 28, the bottom
    // border four more, and the rest fall outside the window.
    for (int g = 0; g < terrarium::GLYPHS; g++)
        b->motive[g] = g == '0' ? -3 : g == '1' ? -120 : g > '1' && g < '0' + 40;
    terrarium::view_t(b);
    EXPECT_EQ(shown[2], "| 0 -0003 1 -0120 2 +0001 3 +0001 |");
    EXPECT_EQ(shown[9].substr(2), "L +0001 M +0001 N +0001 O +0001 j");
    EXPECT_EQ(shown[10], "");
    common::hooks = common::default_hooks;
}

TEST(Edit, TerrariumAnswersReadAsCharacterAndNumber)
{
    // Each line as a race (N: refused) and as a gene (9: nothing read). A race
    // that would pass for a map glyph, or not show, is no race.
    const std::tuple<const char *, char, int> rows[] = {
        {"", 'N', 9}, {"ab", 'a', 9}, {"\x01Q", 'N', 9}, {"\xc3\xa9", 'N', 9}, {"~", 'N', 9}, {"#", 'N', 9},
        {" ", 'N', 9}, {".", 'N', 9}, {"*", 'N', 9}, {"!", 'N', 9}, {"@", 'N', 9}, {"\x7f", 'N', 9},  // map glyphs, DEL
        {"x", 'x', 9}, {"- 2", '-', 9}, {"  +2x", 'N', 2}, {"-1", '-', -1}, {"4294967298", '4', INT_MAX}};
    for (const auto &[line, as_race, as_gene] : rows) {
        char race = 'N';
        int gene = 9;
        EXPECT_TRUE(terrarium::race_answer(line, &race) == (as_race != 'N') && race == as_race) << '"' << line << '"';
        EXPECT_TRUE(terrarium::gene_answer(line, &gene) == (as_gene != 9) && gene == as_gene) << '"' << line << '"';
    }
}

TEST(Edit, TerrariumAsksEachGeneUntilItIsAnActionCodeOnAnyScreen)
{
    // 12345, 7, 4, an empty answer after them and -1 are asked again; 16 columns leave an answer one
    // character (1, -); a screen without inner cells reads unseen; no answer stays beside a question.
    const std::string typed = "Q\n12345\n7\n4\n\n2\n-1\n3\n" + std::string(23, '\n') + "extra\n";
    const struct { const char *lines, *cols, *genes, *left; int row; const char *question; } screens[] = {
        {"24", "80", "2300", "extra", 9, "          | New DNA24?                                |"},
        {"5", "20", "2300", "extra", 3, "| New DNA24?       |"}, {"24", "16", "1203", "", 9, "| New DNA24?   |"},
        {"2", "2", "2300", "extra", 0, "lk"}};  // only the corners of the window
    for (const auto &screen : screens) {
        std::FILE *in = std::tmpfile(), *out = std::fopen("/dev/null", "w");  // curses' line input, from a file
        std::fputs(typed.c_str(), in), std::rewind(in);
        terrarium_side::blank(20, 60);
        terrarium_side::session();
        terrarium::bug *b = terrarium_side::add(3, 4, 'N');
        setenv("LINES", screen.lines, 1), setenv("COLUMNS", screen.cols, 1);
        SCREEN *term = newterm("xterm", out, in), *before = set_term(term);
        terrarium::edit(b);
        std::string question = row_of(curscr, screen.row);
        char left[16] = {};
        noecho(), wgetnstr(stdscr, left, 15);
        endwin(), set_term(before), delscreen(term);
        std::fclose(in), std::fclose(out);
        EXPECT_EQ(b->race + common::gene_digits(b->dna, 4) + " " + left + " " + question,
                  std::string("Q") + screen.genes + " " + screen.left + " " + screen.question)
            << screen.lines << " x " << screen.cols;
    }
    unsetenv("LINES"), unsetenv("COLUMNS");
}

TEST(Edit, VivariumAnswersAreReadOneCharacterAtATime)
{
    // Typed, then the race, the genes and the number of questions, the race's included.
    const std::string rest = "23012301230123012301230";  // genes 2 on as they were
    const std::pair<std::string, std::string> rows[] = {
        {"B3\n3\n3" + std::string(21, '\n') + "1\n", "B 3331012301230123012301230 26"},  // line ends are white space
        {"Z7\n2\n", "Z 21" + rest + " 27"}, {"Z\n0\n0\n0\n-1\n12\n1\n", "Z 0001012301230123012301230 28"},
        {"Z1\n1\nx\n2\n", "Z 11" + rest + " 26"}, {"Z2x3\n", "Z 21" + rest + " 26"},  // a letter ends all reading
        {"\x03" "3\n", "Q 31" + rest + " 26"}, {"~3\n", "Q 31" + rest + " 26"},  // a control character, a map glyph
        {"Z4294967298\n-4294967295\n1", "Z 11" + rest + " 28"},  // huge numbers saturate, never wrap into range
    };
    for (const auto &[typed, want] : rows) {
        std::FILE *f = std::tmpfile();
        std::fputs(typed.c_str(), f), std::rewind(f);  // then the end of the input
        vivarium::answer_reader in(fileno(f));
        in.unget('\n');  // the end of an earlier call's last answer: dropped
        char race = 'Q';
        common::gene_t dna[25] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0};
        int asked = 0;
        vivarium::read_answers(in, &race, dna, [&](int) { asked++; });
        std::fclose(f);
        EXPECT_EQ(race + (" " + common::gene_digits(dna, 25)) + " " + std::to_string(asked), want)
            << ::testing::PrintToString(typed);
    }
    pty_keyboard keyboard;  // and from the keyboard, what was typed ahead
    common::save_setting(), common::init_kb();
    keyboard.type("junk typed ahead\n");
    vivarium::answer_reader in(0);
    in.discard();
    EXPECT_EQ(pty_keyboard::waiting(), 0);
    keyboard.type("C");
    EXPECT_EQ(in.get(), 'C');
    common::close_kb();
}

// The overview's block rule on hand-made maps: a race beats food, food
// beats terrain, ties go the same way every time, last blocks may be
// partial, blocks fill the screen both ways; the density view counts bugs.
TEST(Overview, EachBlockShowsWhatDominatesIt)
{
    struct {
        const char *name, *map;
        int rows, cols, screen_rows, screen_cols, block_rows, block_cols;
        const char *shown;
        bool density = false;
    } cases[] = {
        {"race beats food and terrain", "@@~#A", 1, 5, 1, 1, 1, 5, "A"},
        {"most bugs win", "ABB@@@@", 1, 7, 1, 1, 1, 7, "B"},
        {"race tie: lowest byte", "BA", 1, 2, 1, 1, 1, 2, "A"},
        {"ripe beats younger on a tie", "@@.*", 1, 4, 1, 1, 1, 4, "@"},
        {"younger food as its commoner stage", "..*~~", 1, 5, 1, 1, 1, 5, "."},
        {"sprout on a stage tie", "@.*", 1, 3, 1, 1, 1, 3, "*"},
        {"water beats mountain on a tie", "~#", 1, 2, 1, 1, 1, 2, "~"},
        {"mountain over blanks", "##  ~", 1, 5, 1, 1, 1, 5, "#"},
        {"nothing: blank", "   ", 1, 3, 1, 1, 1, 3, " "},
        {"partial last blocks", "A..~~~#...~~~#...~~~ @@ ####@  #  B", 5, 7, 2, 3, 3, 3, "A~#@#B"},
        {"a map smaller than the screen: a cell a block", "A.~#", 2, 2, 10, 10, 1, 1, "A.~#"},
        {"blocks wider than tall fill the screen", "AB..CC~~", 2, 4, 2, 2, 1, 2, "A.C~"},
        {"no screen row: as if one", "A.~#", 2, 2, 0, 2, 2, 1, "A."},
        {"bugs per block, food and terrain none", "AAB.@~*#!  AB", 1, 13, 1, 3, 1, 5, ": :", true},
    };
    common::overview overview;
    for (const auto &c : cases) {
        common::overview_layout layout = common::overview_layout_for(c.rows, c.cols, c.screen_rows, c.screen_cols);
        std::vector<char> glyphs;
        overview.draw(c.map, c.rows, c.cols, layout, glyphs, c.density);
        EXPECT_EQ(std::pair(layout.block_rows, layout.block_cols), std::pair(c.block_rows, c.block_cols)) << c.name;
        EXPECT_EQ(std::string(glyphs.begin(), glyphs.end()), c.shown) << c.name;
    }
    std::string shades;  // doubling from 1, each at its edges
    for (uint32_t bugs : {0u, 1u, 2u, 3u, 4u, 7u, 8u, 15u, 16u, 32u, 64u, 127u, 128u, 255u, 256u, 4294967295u})
        shades += common::density_glyph(bugs);
    EXPECT_EQ(shades, " .::--==+*##%%@@");
}

// The earlier gene editor's answers, read from a stream: leftovers
// discarded, races that fit a cell, genes asked again, letters that stop
// the reading.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "vivarium/edit.h"
#include "vivarium/globals.h"
#include "vivarium/init.h"
#include "tests/support/headless.h"
#include "tests/support/vivarium_world.h"

using namespace vivarium;

namespace {

// A stream over a fixed text.
struct text_stream {
    std::FILE *file;
    explicit text_stream(const std::string &text) : file(std::tmpfile())
    {
        std::fwrite(text.data(), 1, text.size(), file);
        std::rewind(file);
    }
    ~text_stream() { std::fclose(file); }
};

// One editor call's answers on `in`, starting from race 'Q' and genes
// 0123012301..., with the prompts seen.
struct answers {
    char race = 'Q';
    int dna[GENES];
    std::vector<int> asked;
    answers()
    {
        for (int i = 0; i < GENES; i++)
            dna[i] = i % 4;
    }
    void read(std::FILE *in)
    {
        asked.clear();
        read_answers(in, &race, dna, [this](int i) { asked.push_back(i); });
    }
    std::string genes() const
    {
        std::string s;
        for (int g : dna)
            s += std::to_string(g);
        return s;
    }
};

const std::string original = "0123012301230123012301230";

// The prompts of a call in which every gene is asked once.
std::vector<int> each_once()
{
    std::vector<int> v{-1};
    for (int i = 0; i < GENES; i++)
        v.push_back(i);
    return v;
}

}  // namespace

TEST(EditAnswers, RaceMustFitOneCell)
{
    struct row {
        std::string answer;
        char race;
    };
    const row rows[] = {
        {"B", 'B'},   {"b", 'b'},    {"7", '7'},    {" ", ' '},    {"~", '~'},
        {"\n", 'Q'},  {"\x01", 'Q'}, {"\t", 'Q'},   {"\x1b", 'Q'}, {"\x7f", 'Q'},
        {"\x80", 'Q'}, {"\xff", 'Q'}, {"", 'Q'},    {"ab", 'a'},
    };
    for (const row &r : rows) {
        text_stream in(r.answer);
        char race = 'Q';
        read_race(in.file, &race);
        EXPECT_EQ(race, r.race) << "answer \"" << r.answer << "\" (" << r.answer.size() << " bytes)";
    }
}

TEST(EditAnswers, GeneNumbers)
{
    struct row {
        std::string answer;
        bool read;
        int gene;
        int next;  // the character left in the stream, EOF for none
    };
    const row rows[] = {
        {"2", true, 2, EOF},
        {"  \n\t3\n", true, 3, '\n'},
        {"2x", true, 2, 'x'},
        {"+1", true, 1, EOF},
        {"-1\n", true, -1, '\n'},
        {"12", true, 12, EOF},
        {"007", true, 7, EOF},
        {"99999999999999999999", true, 2147483647, EOF},
        {"-99999999999999999999", true, -2147483647 - 1, EOF},
        {"2147483648", true, 2147483647, EOF},
        {"x", false, 9, 'x'},
        {"  x", false, 9, 'x'},
        {"-x", false, 9, 'x'},
        {"", false, 9, EOF},
        {"\n\n", false, 9, EOF},
    };
    for (const row &r : rows) {
        text_stream in(r.answer);
        int gene = 9;
        std::string name = "answer \"" + r.answer + "\"";
        EXPECT_EQ(read_gene(in.file, &gene), r.read) << name;
        EXPECT_EQ(gene, r.gene) << name;
        EXPECT_EQ(std::getc(in.file), r.next) << name;
    }
}

TEST(EditAnswers, OneCall)
{
    struct row {
        const char *name;
        std::string input;
        char race;
        std::string genes;
        std::vector<int> asked;
    };
    std::vector<int> gene0_twice = each_once();
    gene0_twice.insert(gene0_twice.begin() + 1, 0);
    std::vector<int> gene3_thrice = each_once();
    gene3_thrice.insert(gene3_thrice.begin() + 4, {3, 3});
    const row rows[] = {
        {"every answer", "B3\n3\n3\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n1\n", 'B',
         "3330000000000000000000001", each_once()},
        {"7 then 2 for gene 0", "Z7\n2\n", 'Z', "2123012301230123012301230", gene0_twice},
        {"-1, 12, then 1 for gene 3", "Z\n0\n0\n0\n-1\n12\n1\n", 'Z', "0001012301230123012301230",
         gene3_thrice},
        {"a letter for gene 2 stops the reading", "Z1\n1\nx\n2\n2\n", 'Z', "1123012301230123012301230",
         each_once()},
        {"2 followed by x: 2, then nothing", "Z2x3\n", 'Z', "2123012301230123012301230", each_once()},
        {"a control race is refused", "\x03" "3\n", 'Q', "3123012301230123012301230", each_once()},
        {"nothing typed", "", 'Q', original, each_once()},
        {"a number out of range, then the end", "Z9", 'Z', original, gene0_twice},
    };
    for (const row &r : rows) {
        text_stream in(r.input);
        answers a;
        a.read(in.file);
        EXPECT_EQ(a.race, r.race) << r.name;
        EXPECT_EQ(a.genes(), r.genes) << r.name;
        EXPECT_EQ(a.asked, r.asked) << r.name;
    }
}

TEST(EditAnswers, LeftoversOfAnEarlierCallAreDiscarded)
{
    // The answers arrive through a pipe, as keys do: each call's answers
    // are written only once the call before it has ended.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::FILE *in = fdopen(fds[0], "r");
    ASSERT_NE(in, nullptr);
    auto type = [&](const std::string &keys) {
        ASSERT_EQ(write(fds[1], keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    };
    std::string first_call = "B";
    for (int i = 0; i < GENES; i++)
        first_call += "1\n";
    type(first_call + "junk typed ahead\n");
    answers a;
    a.read(in);
    EXPECT_EQ(a.race, 'B');
    EXPECT_EQ(a.genes(), std::string(GENES, '1'));

    // The line end of the last gene answer (and what followed) is still in
    // the stream's buffer; the second call must not take it as the race.
    std::string second_call = "C";
    for (int i = 0; i < GENES; i++)
        second_call += "2\n";
    type(second_call);
    a.read(in);
    EXPECT_EQ(a.race, 'C');
    EXPECT_EQ(a.genes(), std::string(GENES, '2'));
    std::fclose(in);
    close(fds[1]);
}

TEST(EditAnswers, ALetterLeftInTheStreamDoesNotReachTheNextCall)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::FILE *in = fdopen(fds[0], "r");
    ASSERT_NE(in, nullptr);
    ASSERT_EQ(write(fds[1], "Bx", 2), 2);
    answers a;
    a.read(in);
    EXPECT_EQ(a.race, 'B');
    EXPECT_EQ(a.genes(), original) << "x stops every gene read of the call";
    ASSERT_EQ(write(fds[1], "D3\n", 3), 3);
    close(fds[1]);
    a.read(in);
    EXPECT_EQ(a.race, 'D') << "the x left over is not the next race";
    EXPECT_EQ(a.dna[0], 3);
    std::fclose(in);
}

TEST(Edit, TheWindowShowsTheBugAndTheAnswersLand)
{
    vivarium_test::blank_world(17, 17);
    bug *b = vivarium_test::add_bug(3, 3, 'K');
    for (int i = 0; i < GENES; i++)
        b->dna[i] = (i * 7) % 4;
    text_stream in("m1\n2\n");
    edit_from(b, in.file);
    EXPECT_EQ(b->race, 'm');
    EXPECT_EQ(b->dna[0], 1);
    EXPECT_EQ(b->dna[1], 2);
    EXPECT_EQ(b->dna[2], (2 * 7) % 4);
    // The window's image stays on the screen after it is deleted.
    char text[46] = {};
    mvwinnstr(curscr, 6, 12, text, 11);
    EXPECT_STREQ(text, "Edit window");
    mvwinnstr(curscr, 7, 12, text, 1);
    EXPECT_STREQ(text, "K");
    mvwinnstr(curscr, 7, 14, text, 25);
    EXPECT_STREQ(text, "0321032103210321032103210");
    mvwinnstr(curscr, 9, 12, text, 11);
    EXPECT_STREQ(text, "New DNA24? ");
    free_world();
}

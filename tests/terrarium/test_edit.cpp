// The gene editor: the answer rules on their own, and the editor driven
// through curses' line input on a pseudo-terminal, as the program runs it:
// the terminal in the raw keyboard mode, answers typed with Enter (CR).
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "common/loop.h"
#include "terrarium/edit.h"
#include "terrarium/init.h"
#include "terrarium/globals.h"
#include "tests/support/terrarium_world.h"

using namespace terrarium;
using terrarium_test::add_bug;
using terrarium_test::blank_world;

TEST(EditAnswers, Race)
{
    struct row {
        const char *line;
        bool taken;
        char race;  // the race afterwards, starting from 'N'
    };
    const row rows[] = {
        {"", false, 'N'},
        {"Q", true, 'Q'},
        {"ab", true, 'a'},
        {"q", true, 'q'},
        {"#", true, '#'},
        {"~", true, '~'},
        {"7", true, '7'},
        {" ", true, ' '},
        {" x", true, ' '},
        {"\x01", false, 'N'},
        {"\x01Q", false, 'N'},
        {"\t", false, 'N'},
        {"\x1b[A", false, 'N'},
        {"\x7f", false, 'N'},
        {"\x80", false, 'N'},
        {"\xc3\xa9", false, 'N'},
        {"\xff", false, 'N'},
    };
    for (const row &r : rows) {
        char race = 'N';
        EXPECT_EQ(race_answer(r.line, &race), r.taken) << "line \"" << r.line << "\"";
        EXPECT_EQ(race, r.race) << "line \"" << r.line << "\"";
    }
}

TEST(EditAnswers, Gene)
{
    struct row {
        const char *line;
        bool taken;
        int gene;  // the value afterwards, starting from 1
    };
    const row rows[] = {
        {"", false, 1},
        {"x", false, 1},
        {"+", false, 1},
        {"-", false, 1},
        {"- 2", false, 1},
        {" ", false, 1},
        {"2", true, 2},
        {"2x", true, 2},
        {"  3", true, 3},
        {"\t0", true, 0},
        {"+2", true, 2},
        {"-1", true, -1},
        {"7", true, 7},
        {"007", true, 7},
        {"0x3", true, 0},
        {"3 2", true, 3},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"4294967298", true, INT_MAX},  // never wraps round to 2
        {"-4294967295", true, INT_MIN},
        {"99999999999999999999999", true, INT_MAX},
    };
    for (const row &r : rows) {
        int gene = 1;
        EXPECT_EQ(gene_answer(r.line, &gene), r.taken) << "line \"" << r.line << "\"";
        EXPECT_EQ(gene, r.gene) << "line \"" << r.line << "\"";
    }
}

namespace {

// A curses screen on a pseudo-terminal, for the time of one test: what a
// test types goes in at the master side; what curses draws is drained
// there and dropped. The terminal is left in the raw keyboard mode that
// the program keeps (no canonical lines, no signals).
class pty_screen {
public:
    pty_screen()
    {
        struct winsize size = {24, 80, 0, 0};
        EXPECT_EQ(openpty(&master_, &slave_, nullptr, nullptr, &size), 0);
        in_ = fdopen(dup(slave_), "r");
        out_ = fdopen(dup(slave_), "w");
        screen_ = newterm("xterm", out_, in_);
        EXPECT_NE(screen_, nullptr);
        previous_ = set_term(screen_);
        drain_ = std::thread([this] { drain(); });
        struct termios raw;
        tcgetattr(slave_, &raw);
        raw.c_lflag &= ~static_cast<tcflag_t>(ISIG | ICANON);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(slave_, TCSANOW, &raw);
        alarm(60);  // an editor waiting for more answers must not hang the run
    }

    ~pty_screen()
    {
        alarm(0);
        endwin();
        set_term(previous_);
        // Deleting a screen frees every window curses holds, whichever
        // screen made it: let go of the world's pad and the status line.
        free_world();
        common::leave_loop();
        delscreen(screen_);
        std::fclose(in_);
        std::fclose(out_);
        hang_up();
        close(slave_);
    }

    void type(const std::string &text)
    {
        ASSERT_EQ(write(master_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // The terminal's settings, to compare before and after.
    std::string modes() const
    {
        struct termios t;
        std::memset(&t, 0, sizeof t);
        tcgetattr(slave_, &t);
        return std::string(reinterpret_cast<const char *>(&t), sizeof t);
    }

    // What was typed and not read by curses.
    std::string unread() const
    {
        std::string text;
        struct pollfd p = {slave_, POLLIN, 0};
        char c;
        while (poll(&p, 1, 0) == 1 && (p.revents & POLLIN) && read(slave_, &c, 1) == 1)
            text += c;
        return text;
    }

    // Bytes typed and not yet read.
    int waiting() const
    {
        int n = 0;
        ioctl(slave_, FIONREAD, &n);
        return n;
    }

    // Closes the master side: the end of all input.
    void hang_up()
    {
        if (master_ < 0)
            return;
        stop_ = true;
        drain_.join();
        close(master_);
        master_ = -1;
    }

private:
    void drain()
    {
        char buffer[4096];
        struct pollfd p = {master_, POLLIN, 0};
        while (!stop_)
            if (poll(&p, 1, 20) == 1 && read(master_, buffer, sizeof buffer) <= 0)
                break;
    }

    int master_ = -1, slave_ = -1;
    FILE *in_ = nullptr, *out_ = nullptr;
    SCREEN *screen_ = nullptr, *previous_ = nullptr;
    std::thread drain_;
    std::atomic<bool> stop_{false};
};

const std::string enter = "\r";

std::string enters(int n) { return std::string(static_cast<size_t>(n), '\r'); }

bug *bug_to_edit()
{
    blank_world(20, 60);
    bug *b = add_bug(3, 4, 'N');
    for (int i = 0; i < GENES; i++)
        b->dna[i] = i % 4;
    return b;
}

void expect_genes(const bug *b, const int (&want)[GENES])
{
    for (int i = 0; i < GENES; i++)
        EXPECT_EQ(b->dna[i], want[i]) << "gene " << i;
}

void original_genes(int (&genes)[GENES])
{
    for (int i = 0; i < GENES; i++)
        genes[i] = i % 4;
}

// Row `row` of what curses last drew (the window stays there after it is
// deleted), from column `col`, `n` characters.
std::string drawn(int row, int col, int n)
{
    std::string text(static_cast<size_t>(n) + 1, '\0');
    mvwinnstr(newscr, row, col, &text[0], n);
    text.resize(std::strlen(text.c_str()));
    return text;
}

}  // namespace

TEST(Edit, AllEnterLeavesTheBugUnchangedAfterTwentySixPrompts)
{
    bug *b = bug_to_edit();
    pty_screen term;
    std::string modes = term.modes();
    term.type(enters(26) + "extra" + enter);
    edit(b);
    EXPECT_EQ(b->race, 'N');
    int genes[GENES];
    original_genes(genes);
    expect_genes(b, genes);
    EXPECT_EQ(term.unread(), "extra" + enter);  // exactly 26 answers read
    EXPECT_EQ(term.modes(), modes) << "the terminal's settings changed";
    // The window as it was left: title, race and genes as found, the
    // prompt for the last gene.
    EXPECT_EQ(drawn(6, 12, 11), "Edit window");
    EXPECT_EQ(drawn(7, 12, 27), "N 0123012301230123012301230");
    EXPECT_EQ(drawn(9, 12, 10), "New DNA24?");
}

TEST(Edit, AnOutOfRangeGeneIsAskedAgain)
{
    struct row {
        const char *name;
        std::string answers;  // to the gene-0 prompts, then Enter for the rest
        int gene0;
    };
    const row rows[] = {
        {"7 then 2", "7" + enter + "2" + enter, 2},
        {"-1 then 3", "-1" + enter + "3" + enter, 3},
        // The rejected 7 still stands: an empty answer is asked again.
        {"7, Enter, 1", "7" + enter + enter + "1" + enter, 1},
        {"4294967298 then 0", "4294967298" + enter + "0" + enter, 0},
        {"2x", "2x" + enter, 2},
        {"  1", "  1" + enter, 1},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        bug *b = bug_to_edit();
        pty_screen term;
        term.type(enter + r.answers + enters(24) + "extra" + enter);
        edit(b);
        int genes[GENES];
        original_genes(genes);
        genes[0] = r.gene0;
        expect_genes(b, genes);
        // Every answer was read and nothing more: one prompt per answer.
        EXPECT_EQ(term.unread(), "extra" + enter);
        EXPECT_EQ(b->race, 'N');
    }
}

TEST(Edit, RaceAnswers)
{
    struct row {
        const char *name;
        std::string answer;
        char race;
    };
    const row rows[] = {
        {"Q", "Q", 'Q'},
        {"ab", "ab", 'a'},
        {"lower case", "z", 'z'},
        {"punctuation", "#", '#'},
        {"a control character", "\x01", 'N'},
        {"a control character first", "\x01Q", 'N'},
        {"escape", "\x1b", 'N'},
        {"a tab", "\t", 'N'},
        {"a UTF-8 letter", "\xc3\xa9", 'N'},
        {"a byte above 127", "\x80", 'N'},
        {"erased and retyped", "X\x7fY", 'Y'},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        bug *b = bug_to_edit();
        pty_screen term;
        term.type(r.answer + enter + enters(25) + "extra" + enter);
        edit(b);
        EXPECT_EQ(b->race, r.race);
        EXPECT_EQ(term.unread(), "extra" + enter);
    }
}

TEST(Edit, EveryAnswerIsStored)
{
    bug *b = bug_to_edit();
    pty_screen term;
    std::string modes = term.modes();
    int genes[GENES];
    std::string answers = "Q" + enter;
    for (int i = 0; i < GENES; i++) {
        genes[i] = 3 - i % 4;
        answers += std::to_string(genes[i]) + enter;
    }
    term.type(answers);
    edit(b);
    EXPECT_EQ(b->race, 'Q');
    expect_genes(b, genes);
    EXPECT_EQ(term.unread(), "");
    EXPECT_EQ(term.modes(), modes) << "the terminal's settings changed";
}

TEST(Edit, TheEndOfInputEndsTheEditor)
{
    bug *b = bug_to_edit();
    pty_screen term;
    term.type("R" + enter + "3" + enter + "9" + enter);
    // The editor reads on its own thread; the terminal hangs up once it
    // has read every answer and waits for gene 1 again.
    std::thread editor([b] { edit(b); });
    for (int i = 0; i < 500 && term.waiting() > 0; i++)
        usleep(10000);
    usleep(100000);
    term.hang_up();
    editor.join();  // returns instead of asking for gene 1 for ever
    EXPECT_EQ(b->race, 'R');
    int genes[GENES];
    original_genes(genes);
    genes[0] = 3;
    expect_genes(b, genes);  // gene 1 keeps its value, never 9
}

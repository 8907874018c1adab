// The raw keyboard on a pseudo-terminal: raw mode, polling without
// blocking, the one-byte look-ahead and giving the terminal back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/kb.h"
#include "tests/support/pty_keyboard.h"

namespace {

class Kb : public ::testing::Test {
protected:
    void TearDown() override
    {
        while (kb_hit())
            read_kb();
        if (kb_active())
            close_kb();
    }

    pty_keyboard keyboard;
};

void expect_same(const termios &got, const termios &want)
{
    EXPECT_EQ(got.c_iflag, want.c_iflag);
    EXPECT_EQ(got.c_oflag, want.c_oflag);
    EXPECT_EQ(got.c_cflag, want.c_cflag);
    EXPECT_EQ(got.c_lflag, want.c_lflag);
    EXPECT_EQ(got.c_line, want.c_line);
    for (int i = 0; i < NCCS; i++)
        EXPECT_EQ(got.c_cc[i], want.c_cc[i]) << "control character " << i;
    EXPECT_EQ(cfgetispeed(&got), cfgetispeed(&want));
    EXPECT_EQ(cfgetospeed(&got), cfgetospeed(&want));
    EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0) << "the records differ";
}

// Attributes unlike the defaults in every part of the record, so that a
// restore of only some fields shows.
termios unusual(termios t)
{
    t.c_iflag |= IXOFF | IMAXBEL;
    t.c_iflag &= ~static_cast<tcflag_t>(ICRNL);
    t.c_oflag &= ~static_cast<tcflag_t>(ONLCR);
    t.c_lflag |= XCASE | ECHOE | ECHOK;
    t.c_lflag &= ~static_cast<tcflag_t>(ECHOCTL);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    t.c_cc[VINTR] = 1;
    t.c_cc[VERASE] = 8;
    t.c_cc[VMIN] = 5;
    t.c_cc[VTIME] = 7;
    return t;
}

}  // namespace

TEST_F(Kb, RawModeClearsOnlySignalsCanonicalAndCaseAndReadsOneByte)
{
    termios found = unusual(pty_keyboard::attributes());
    tcsetattr(0, TCSANOW, &found);
    found = pty_keyboard::attributes();

    init_kb();

    termios want = found;
    want.c_lflag &= ~static_cast<tcflag_t>(ISIG | ICANON | XCASE);
    want.c_cc[VMIN] = 1;
    want.c_cc[VTIME] = 0;
    expect_same(pty_keyboard::attributes(), want);
    EXPECT_TRUE(pty_keyboard::attributes().c_lflag & ECHO) << "echo keeps its value";
}

TEST_F(Kb, CloseRestoresEveryFieldOfTheSavedAttributes)
{
    termios found = unusual(pty_keyboard::attributes());
    tcsetattr(0, TCSANOW, &found);
    found = pty_keyboard::attributes();

    init_kb();
    EXPECT_TRUE(kb_active());
    kb_hit();
    keyboard.type("ab");
    kb_hit();
    read_kb();
    EXPECT_EQ(close_kb(), 0);

    EXPECT_FALSE(kb_active());
    expect_same(pty_keyboard::attributes(), found);
}

TEST_F(Kb, NoKeyLeavesTheLookAheadEmptyAndTheTerminalBlocking)
{
    init_kb();
    EXPECT_EQ(kb_hit(), 0);
    EXPECT_EQ(kb_hit(), 0);
    termios now = pty_keyboard::attributes();
    EXPECT_EQ(now.c_cc[VMIN], 1);
    EXPECT_EQ(now.c_cc[VTIME], 0);

    // Nothing stale is held: the next key typed is the one read.
    keyboard.type("q");
    EXPECT_EQ(kb_hit(), 1);
    EXPECT_EQ(read_kb(), 'q');
    EXPECT_EQ(kb_hit(), 0);
}

TEST_F(Kb, AKeyWaitingLeavesTheTerminalBlockingToo)
{
    init_kb();
    keyboard.type("k");
    EXPECT_EQ(kb_hit(), 1);
    termios now = pty_keyboard::attributes();
    EXPECT_EQ(now.c_cc[VMIN], 1);
    EXPECT_EQ(now.c_cc[VTIME], 0);
}

TEST_F(Kb, TwoKeysTypedBetweenPollsAreTakenOnePerPoll)
{
    init_kb();
    keyboard.type("ab");

    EXPECT_EQ(kb_hit(), 1);
    EXPECT_EQ(keyboard.waiting(), 1) << "the second key stays in the terminal";
    EXPECT_EQ(kb_hit(), 1) << "a held key is reported again";
    EXPECT_EQ(keyboard.waiting(), 1) << "and nothing more is read";
    EXPECT_EQ(read_kb(), 'a');

    EXPECT_EQ(keyboard.waiting(), 1);
    EXPECT_EQ(kb_hit(), 1);
    EXPECT_EQ(keyboard.waiting(), 0);
    EXPECT_EQ(read_kb(), 'b');
    EXPECT_EQ(kb_hit(), 0);
}

TEST_F(Kb, EveryByteArrivesAsItsSignedCharValue)
{
    struct row {
        const char *name;
        std::string typed;
        int value;
    };
    const row rows[] = {
        {"letter", "a", 'a'},
        {"NUL", std::string(1, '\0'), 0},
        {"Ctrl-C, no signal", "\x03", 3},
        {"Ctrl-Z, no signal", "\x1a", 26},
        {"Ctrl-\\, no signal", "\x1c", 28},
        {"DEL", "\x7f", 127},
        {"0x80", "\x80", -128},
        {"0xFE", "\xfe", -2},
        {"0xFF", "\xff", -1},
    };
    init_kb();
    for (const row &r : rows) {
        SCOPED_TRACE(r.name);
        keyboard.type(r.typed);
        ASSERT_EQ(kb_hit(), 1);
        EXPECT_EQ(read_kb(), r.value);
        EXPECT_EQ(kb_hit(), 0) << "the look-ahead is empty again";
    }
}

TEST_F(Kb, ByteFFIsHeldAsAKeyNotAsAnEmptyLookAhead)
{
    init_kb();
    keyboard.type("\xff" "z");
    EXPECT_EQ(kb_hit(), 1);
    EXPECT_EQ(kb_hit(), 1);
    EXPECT_EQ(keyboard.waiting(), 1) << "a second poll must not read past the held 0xFF";
    EXPECT_EQ(read_kb(), -1);
    EXPECT_EQ(kb_hit(), 1);
    EXPECT_EQ(read_kb(), 'z');
}

TEST_F(Kb, ReadWithoutPollWaitsForTheNextByte)
{
    init_kb();
    keyboard.type("r");
    EXPECT_EQ(read_kb(), 'r');
    EXPECT_EQ(kb_hit(), 0);
}

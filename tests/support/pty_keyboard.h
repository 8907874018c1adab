// A pseudo-terminal as the test process's standard input: the keyboard
// module and vivarium's editor read its slave side through descriptor 0,
// the test types into the master side. Descriptor 0 comes back at the end,
// and a test that would wait for a key for good is ended by an alarm.
#pragma once

#include <gtest/gtest.h>

#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

class pty_keyboard {
public:
    pty_keyboard()
    {
        EXPECT_EQ(openpty(&master_, &slave_, nullptr, nullptr, nullptr), 0);
        saved_stdin_ = dup(0);
        dup2(slave_, 0);
        alarm(60);
    }
    ~pty_keyboard()
    {
        alarm(0);
        dup2(saved_stdin_, 0);
        for (int fd : {saved_stdin_, slave_, master_})
            close(fd);
    }

    // Types the bytes and waits until they can be read: the pty hands them
    // over asynchronously.
    void type(const std::string &bytes)
    {
        int before = waiting();
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        for (int tries = 0; waiting() < before + static_cast<int>(bytes.size()); tries++) {
            ASSERT_LT(tries, 10000) << "typed bytes never reached the terminal";
            usleep(1000);
        }
    }

    // Bytes typed and not yet read from descriptor 0.
    static int waiting()
    {
        int count = 0;
        ioctl(0, FIONREAD, &count);
        return count;
    }

private:
    int master_ = -1, slave_ = -1, saved_stdin_ = -1;
};

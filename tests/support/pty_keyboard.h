// A pseudo-terminal as the test process's standard input: the keyboard
// module reads the slave side through descriptor 0, the test types into
// the master side. The original descriptor 0 comes back at the end.
// A test that would block for good on a read is ended by an alarm instead.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

class pty_keyboard {
public:
    pty_keyboard()
    {
        if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0)
            ADD_FAILURE() << "openpty failed, errno " << errno;
        saved_stdin_ = dup(0);
        dup2(slave_, 0);
        alarm(60);
    }

    ~pty_keyboard()
    {
        alarm(0);
        dup2(saved_stdin_, 0);
        close(saved_stdin_);
        close(slave_);
        close(master_);
    }

    pty_keyboard(const pty_keyboard &) = delete;
    pty_keyboard &operator=(const pty_keyboard &) = delete;

    // Types the bytes and waits until the terminal has them ready for a
    // read; the pty hands written bytes over to the reader asynchronously.
    void type(const std::string &bytes)
    {
        int before = waiting();
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        for (int tries = 0; waiting() < before + static_cast<int>(bytes.size()); tries++) {
            ASSERT_LT(tries, 10000) << "typed bytes never reached the terminal";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // Bytes typed but not read yet from descriptor 0.
    int waiting() const
    {
        int count = 0;
        ioctl(0, FIONREAD, &count);
        return count;
    }

    // The attributes of the terminal as descriptor 0 sees them, with any
    // padding of the record zeroed so that whole records compare.
    static termios attributes()
    {
        termios t;
        std::memset(&t, 0, sizeof t);
        tcgetattr(0, &t);
        return t;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    int saved_stdin_ = -1;
};

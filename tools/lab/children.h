// The lab's child processes (worlds, gnuplot) never outlive it: on a
// signal that ends the lab, and on its errors, each is killed and reaped,
// then the lab dies of that signal.
#pragma once

#include <string>
#include <sys/types.h>

namespace lab {

// At most this many children at once.
constexpr int MOST_CHILDREN = 1024;

// Installs the handlers of every signal whose default ends the process.
void end_children_with_lab();

// fork(2), the child recorded before any signal can come between; the
// child starts with every signal's default action. -1 on failure or when
// MOST_CHILDREN are running.
pid_t start_child();

// The child's end is seen (reaped by wait).
void child_ended(pid_t pid);

// Kills and reaps every child still running.
void kill_children();

// A file to remove should a signal end the lab while it is being made
// (a picture not yet whole); empty for none.
void remove_on_signal(const std::string &path);

// A description of a wait status: "exit 9 (world too large)", "killed by
// signal 9".
std::string wait_status_text(int status);

// Writes all of `text` to `fd`; false, with errno set, on an error.
bool write_all(int fd, const std::string &text);

// Opens `path` as open(2) does, close-on-exec, on a descriptor above the
// standard streams' even when one of them is closed; -1 with errno set.
int open_file(const char *path, int flags, mode_t mode = 0666);

// Opens the regular file at `path` for reading as open_file does, never
// waiting (for the other end of a FIFO, say). -1 for any other kind of
// file, with *why set ("PATH: not a regular file") and errno 0; or when it
// cannot be opened, with *why ("PATH: cannot be read: reason") and errno set.
int open_regular(const std::string &path, std::string *why);

// Prints "terrarium-lab: WHY" on the error stream, every name in it
// printable().
void complain(const std::string &why);

}  // namespace lab

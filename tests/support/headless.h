// Curses on a null terminal for unit tests, and stops seen instead of exits.
#pragma once

#include <string>

// Opens (or reopens) curses on /dev/null with a lines x cols screen.
void headless_screen(int lines, int cols);

// What a stop looked like; thrown by the hook that catch_stops installs.
struct stop_seen {
    int status;
    std::string message;
};

// From now on every stop throws stop_seen instead of ending the process.
void catch_stops();

// Popups and loop sleeps return at once, counting what they would sleep.
struct sleep_log {
    unsigned seconds = 0;
    unsigned long micros = 0;
};
sleep_log &no_sleeping();

// The gene editor's window, alike in both programs: 9 rows by 45 columns
// at screen row 5, column 10, a box like the popups' (so kept within the
// screen), showing the title, the bug's race and its genes.
#pragma once

#include <curses.h>
#include <functional>
#include <string>

#include "common/decide.h"

namespace common {

// The genes as one run of decimal numbers without separators, gene 0 first.
std::string gene_digits(const gene_t *dna, int genes);

// Where an answer is echoed: at row 4, column 15 of the whole window; in a
// window cut smaller, on the question's row as far right as leaves room
// for one character. A window without an inner cell has no room: the
// answer is read unseen.
struct answer_place {
    int row, col, room;
};

// The window of one editor call, over the bug's race and genes, which it
// shows as they are whenever it is drawn. When the screen changes its
// size it is made anew, whole, at the new size, with its last question.
class edit_window {
public:
    edit_window(const char &race, const gene_t *dna, int genes);
    ~edit_window();
    edit_window(const edit_window &) = delete;
    edit_window &operator=(const edit_window &) = delete;

    WINDOW *window() const { return win_; }  // null when curses could not make it

    // Prints a question at its place (row 4, column 2), over whatever an
    // earlier question or answer left on that row, and refreshes.
    void ask(const char *format, ...) __attribute__((format(printf, 2, 3)));

    // If the screen changed its size: the window anew, over the backdrop
    // if one is set, and true.
    bool follow_size_change();

    answer_place answer_at() const;

private:
    void open();
    void draw_question();

    const char &race_;
    const gene_t *dna_;
    int genes_;
    WINDOW *win_ = nullptr;
    std::string question_;
};

// While one lives, an editor's window made anew after a change of the
// screen's size is drawn over `draw`'s picture of what lies under it (the
// main loop's screen at the new size), not over what the old size left.
class edit_backdrop {
public:
    explicit edit_backdrop(std::function<void()> draw);
    ~edit_backdrop();
    edit_backdrop(const edit_backdrop &) = delete;
    edit_backdrop &operator=(const edit_backdrop &) = delete;
};


}  // namespace common

#include "screen/edit_window.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "screen/popup.h"
#include "screen/term.h"

namespace common {

namespace {

constexpr int QUESTION_ROW = 4, QUESTION_COL = 2, ANSWER_COL = 15;

// The question's row: row 4, or the last inner row of a window cut lower.
int question_row(WINDOW *win) { return std::min(QUESTION_ROW, getmaxy(win) - 2); }

// What lies under the editor's window, while an edit_backdrop lives.
std::function<void()> backdrop;

}  // namespace

std::string gene_digits(const gene_t *dna, int genes)
{
    std::string text;
    for (int i = 0; i < genes; i++)
        text += std::to_string(dna[i]);
    return text;
}

edit_window::edit_window(const char &race, const gene_t *dna, int genes) : race_(race), dna_(dna), genes_(genes)
{
    if (!follow_size_change())
        open();
}

edit_window::~edit_window()
{
    if (win_ != nullptr)
        delwin(win_);
}

void edit_window::open()
{
    if (win_ != nullptr)
        delwin(win_);
    win_ = open_box(9, 45, 5, 10);
    if (win_ == nullptr)
        return;
    box_text(win_, 1, 2, "Edit window");
    box_text(win_, 2, 2, std::string(1, race_).c_str());
    box_text(win_, 2, 4, gene_digits(dna_, genes_).c_str());
    wrefresh(win_);
}

void edit_window::ask(const char *format, ...)
{
    char text[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    question_ = text;
    if (!follow_size_change())
        draw_question();
}

void edit_window::draw_question()
{
    if (win_ == nullptr)
        return;
    int row = question_row(win_);
    if (row > 0) {
        box_text(win_, row, 1, std::string(std::max(0, getmaxx(win_) - 2), ' ').c_str());
        box_text(win_, row, QUESTION_COL, question_.c_str());
    }
    wrefresh(win_);
}

bool edit_window::follow_size_change()
{
    if (!common::follow_size_change())
        return false;
    if (backdrop)
        backdrop();
    open();
    draw_question();
    return true;
}

edit_backdrop::edit_backdrop(std::function<void()> draw) { backdrop = std::move(draw); }

edit_backdrop::~edit_backdrop() { backdrop = nullptr; }

answer_place edit_window::answer_at() const
{
    int row = question_row(win_), col = std::min(ANSWER_COL, getmaxx(win_) - 2);
    if (row < 1 || col < 1)
        return {0, 0, 0};
    return {row, col, getmaxx(win_) - 1 - col};
}

}  // namespace common

#include "terrarium/edit.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <curses.h>

#include "common/edit_window.h"

namespace terrarium {

bool race_answer(const char *line, char *race)
{
    unsigned char first = static_cast<unsigned char>(line[0]);
    if (first == '\0' || !common::race_ok(first))
        return false;
    *race = static_cast<char>(first);
    return true;
}

bool gene_answer(const char *line, int *gene)
{
    const char *p = line;
    while (std::isspace(static_cast<unsigned char>(*p)))
        p++;
    if (*p == '+' || *p == '-')
        p++;
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return false;
    long value = std::strtol(line, nullptr, 10);  // saturates at LONG_MIN/MAX
    if (value > INT_MAX)
        value = INT_MAX;
    else if (value < INT_MIN)
        value = INT_MIN;
    *gene = static_cast<int>(value);
    return true;
}

namespace {

constexpr int ANSWER_ROW = 4, ANSWER_COL = 15;
constexpr int ANSWER_MAX = 45 - 1 - ANSWER_COL;  // in the window's full width

using answer_line = char[ANSWER_MAX + 1];

// Reads one line with curses' line input, echoed at the answer position.
// Answers stop short of the right border, so their echo never overwrites
// it, also in a window cut to a narrow screen. False when no more input
// can be had (end of input, read error).
bool read_answer(WINDOW *win, answer_line &line)
{
    line[0] = '\0';
    int room = std::min(ANSWER_MAX, getmaxx(win) - 1 - ANSWER_COL);
    return room > 0 && mvwgetnstr(win, ANSWER_ROW, ANSWER_COL, line, room) != ERR;
}

// Asks for gene i until the answer leaves it in range. A rejected number
// is held here, never in the record, until an answer replaces it, so an
// empty answer after it is met by the same prompt again.
bool ask_gene(WINDOW *win, bug *b, int i)
{
    answer_line line;
    int gene = b->dna[i];
    do {
        common::edit_prompt(win, "New DNA%i?       ", i);
        if (!read_answer(win, line))
            return false;
        gene_answer(line, &gene);
    } while (!common::gene_ok(gene));
    b->dna[i] = static_cast<gene_t>(gene);
    return true;
}

}  // namespace

void edit(bug *b)
{
    WINDOW *win = common::open_edit_window(b->race, b->dna, GENES);
    if (win == nullptr)
        return;
    common::edit_prompt(win, "%s", "New race?        ");
    answer_line line;
    if (read_answer(win, line)) {
        race_answer(line, &b->race);
        for (int i = 0; i < GENES; i++)
            if (!ask_gene(win, b, i))
                break;
    }
    delwin(win);
}

}  // namespace terrarium

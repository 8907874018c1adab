#include "programs/terrarium/edit.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <curses.h>

#include "screen/edit_window.h"
#include "screen/term.h"

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

constexpr int ANSWER_MAX = 45 - 1 - 15;  // from the answer's column in the window's full width

using answer_line = char[ANSWER_MAX + 1];

// Reads one line with curses' line input, echoed at the answer's place,
// short of the window's right border. A change of the screen's size cuts
// the read short: the window is made anew and what was typed so far is
// typed again into it. False when no more input can be had (end of
// input, read error).
bool read_answer(common::edit_window &w, answer_line &line)
{
    common::interrupt_reads_on_size_change(true);
    int got;
    for (;;) {
        line[0] = '\0';
        common::answer_place at = w.answer_at();
        if (at.room == 0)
            noecho();
        got = mvwgetnstr(w.window(), at.row, at.col, line, at.room > 0 ? std::min(ANSWER_MAX, at.room) : ANSWER_MAX);
        echo();
        if (got != ERR || !w.follow_size_change())
            break;
        for (size_t i = std::strlen(line); i-- > 0;)
            ungetch(static_cast<unsigned char>(line[i]));
    }
    common::interrupt_reads_on_size_change(false);
    return got != ERR;
}

// Asks for gene i until the answer leaves it in range. A rejected number
// is held here, never in the record, until an answer replaces it, so an
// empty answer after it is met by the same prompt again.
bool ask_gene(common::edit_window &w, bug *b, int i)
{
    answer_line line;
    int gene = b->dna[i];
    do {
        w.ask("New DNA%i?       ", i);
        if (!read_answer(w, line))
            return false;
        gene_answer(line, &gene);
    } while (!common::gene_ok(gene));
    b->dna[i] = static_cast<gene_t>(gene);
    return true;
}

}  // namespace

void edit(bug *b)
{
    common::edit_window w(b->race, b->dna, GENES);
    if (w.window() == nullptr)
        return;
    w.ask("%s", "New race?        ");
    answer_line line;
    if (read_answer(w, line)) {
        race_answer(line, &b->race);
        for (int i = 0; i < GENES; i++)
            if (!ask_gene(w, b, i))
                break;
    }
}

}  // namespace terrarium

#include "vivarium/edit.h"

#include <cctype>
#include <climits>
#include <stdio_ext.h>
#include <termios.h>
#include <unistd.h>

#include "common/edit_window.h"

namespace vivarium {

void discard_pending(std::FILE *in)
{
    __fpurge(in);
    std::clearerr(in);
    int fd = fileno(in);
    if (fd >= 0 && isatty(fd))
        tcflush(fd, TCIFLUSH);
}

bool read_race(std::FILE *in, char *race)
{
    int c = std::getc(in);
    if (c == EOF || c < ' ' || c > '~')
        return false;
    *race = static_cast<char>(c);
    return true;
}

bool read_gene(std::FILE *in, int *gene)
{
    int c = std::getc(in);
    while (c != EOF && std::isspace(c))
        c = std::getc(in);
    bool negative = c == '-';
    if (c == '-' || c == '+')
        c = std::getc(in);
    if (c == EOF || !std::isdigit(c)) {
        if (c != EOF)
            std::ungetc(c, in);
        return false;
    }
    long long value = 0;
    for (; c != EOF && std::isdigit(c); c = std::getc(in))
        if (value <= INT_MAX)  // past int's range the value only saturates
            value = value * 10 + (c - '0');
    if (c != EOF)
        std::ungetc(c, in);
    if (negative)
        value = -value;
    *gene = static_cast<int>(value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : value));
    return true;
}

namespace {

// Asks for one gene until an answer is an action code. A number out of
// range is never stored, so the gene always holds one, and an answer that
// reads nothing ends the asking with the gene as it was.
void ask_gene(std::FILE *in, int *gene, int i, const std::function<void(int)> &ask)
{
    for (;;) {
        ask(i);
        int answer = 0;
        if (!read_gene(in, &answer))
            return;
        if (answer >= 0 && answer <= 3) {
            *gene = answer;
            return;
        }
    }
}

}  // namespace

void read_answers(std::FILE *in, char *race, int dna[GENES], const std::function<void(int)> &ask)
{
    ask(-1);
    discard_pending(in);
    read_race(in, race);
    for (int i = 0; i < GENES; i++)
        ask_gene(in, &dna[i], i, ask);
}

void edit_from(bug *b, std::FILE *in)
{
    WINDOW *win = open_edit_window(b->race, b->dna, GENES);
    if (win == nullptr)
        return;
    read_answers(in, &b->race, b->dna, [win](int i) {
        if (i < 0)
            edit_prompt(win, "New race? ");
        else
            edit_prompt(win, "New DNA%i? ", i);
    });
    delwin(win);
}

void edit(bug *b) { edit_from(b, stdin); }

}  // namespace vivarium

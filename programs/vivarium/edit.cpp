#include "programs/vivarium/edit.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <unistd.h>

#include "screen/edit_window.h"
#include "common/signals.h"
#include "screen/term.h"

namespace vivarium {

int answer_reader::get()
{
    if (held_ != EOF) {
        int c = held_;
        held_ = EOF;
        return c;
    }
    // A signal put off until the world is whole ends the answers: they
    // read as the end of the input from then on.
    if (common::deferred_signal() != 0)
        return EOF;
    unsigned char c = 0;
    ssize_t n;
    while ((n = read(fd_, &c, 1)) < 0 && errno == EINTR && common::deferred_signal() == 0)
        if (interrupted_)
            interrupted_();
    return n == 1 ? c : EOF;
}

void answer_reader::discard()
{
    held_ = EOF;
    if (fd_ == 0)
        common::flush_input();
}

bool read_race(answer_reader &in, char *race)
{
    int c = in.get();
    if (c == EOF || !common::race_ok(c))
        return false;
    *race = static_cast<char>(c);
    return true;
}

bool read_gene(answer_reader &in, int *gene)
{
    int c = in.get();
    while (c != EOF && std::isspace(c))
        c = in.get();
    bool negative = c == '-';
    if (c == '-' || c == '+')
        c = in.get();
    if (c == EOF || !std::isdigit(c)) {
        if (c != EOF)
            in.unget(c);
        return false;
    }
    long long value = 0;
    for (; c != EOF && std::isdigit(c); c = in.get())
        if (value <= INT_MAX)  // past int's range the value only saturates
            value = value * 10 + (c - '0');
    if (c != EOF)
        in.unget(c);
    if (negative)
        value = -value;
    *gene = static_cast<int>(value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : value));
    return true;
}

namespace {

// Asks for one gene until an answer is an action code. A number out of
// range is never stored, so the gene always holds one, and an answer that
// reads nothing ends the asking with the gene as it was.
void ask_gene(answer_reader &in, gene_t *gene, int i, const std::function<void(int)> &ask)
{
    for (;;) {
        ask(i);
        int answer = 0;
        if (!read_gene(in, &answer))
            return;
        if (common::gene_ok(answer)) {
            *gene = static_cast<gene_t>(answer);
            return;
        }
    }
}

}  // namespace

void read_answers(answer_reader &in, char *race, gene_t dna[GENES], const std::function<void(int)> &ask)
{
    in.discard();
    ask(-1);
    read_race(in, race);
    for (int i = 0; i < GENES; i++)
        ask_gene(in, &dna[i], i, ask);
}

void edit(bug *b)
{
    common::edit_window w(b->race, b->dna, GENES);
    if (w.window() == nullptr)
        return;
    // A change of the screen's size cuts a read short, to draw the window anew.
    answer_reader keyboard(0, [&w] { w.follow_size_change(); });
    common::interrupt_reads_on_size_change(true);
    read_answers(keyboard, &b->race, b->dna, [&w](int i) {
        if (i < 0)
            w.ask("New race? ");
        else
            w.ask("New DNA%i? ", i);
    });
    common::interrupt_reads_on_size_change(false);
}

}  // namespace vivarium

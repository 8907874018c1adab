// The gene editor, which reads its answers from the keyboard itself, one
// character at a time, and shows nothing of what is typed.
#pragma once

#include <cstdio>
#include <functional>
#include <utility>

#include "vivarium/world.h"

namespace vivarium {

// Shows b's race and genes, then asks for a new race and each of its 25
// genes. Nothing under the window is repainted when it goes.
void edit(bug *b);

// The characters of the answers, read from a file descriptor, with room
// to put one back. `interrupted` (if any) runs whenever a signal cuts a
// read short; the read goes on after it.
class answer_reader {
public:
    explicit answer_reader(int fd, std::function<void()> interrupted = nullptr)
        : fd_(fd), interrupted_(std::move(interrupted))
    {
    }
    int get();  // the next character, or EOF at the end of the input
    void unget(int c) { held_ = c; }
    // Drops the character put back and, from the keyboard, the keys typed
    // ahead: what is left of earlier answers.
    void discard();

private:
    int fd_;
    std::function<void()> interrupted_;
    int held_ = EOF;
};

// Read as "%c": takes the very next character. Stores it only when it may
// be a race (race_ok); a control character, a byte above '~' or the end of
// input leaves *race as it was.
bool read_race(answer_reader &in, char *race);

// Read as "%d": skips white space, takes an optional sign and the digits
// after it, and puts back the character that ends the number. A number
// beyond the range of int saturates. Without a digit it stores nothing (a
// sign is consumed, the character after it is put back) and gives false,
// as at the end of input.
bool read_gene(answer_reader &in, int *gene);

// The questions of one editor call: discards what is left from before,
// then the race, then genes 0 to 24. A gene answered outside 0 to 3 is asked again; an
// answer without a number keeps the gene. ask(i) comes before each read,
// i = -1 for the race.
void read_answers(answer_reader &in, char *race, gene_t dna[GENES], const std::function<void(int)> &ask);

}  // namespace vivarium

// The world's random generator: an additive lagged Fibonacci generator of
// degree 31 and separation 3, seeded through the 16807 linear congruence
// with its first 310 outputs discarded. It gives the same sequence as the
// GNU C library's rand() after srand(seed), on any platform, so that a
// seed names the same world everywhere. A plain value: copying it copies
// where the sequence stands.
#pragma once

#include <cstdint>

namespace common {

class random_stream {
public:
    explicit random_stream(unsigned seed = 1) { reseed(seed); }

    // Starts the sequence of `seed` anew (0 gives the sequence of 1).
    void reseed(unsigned seed)
    {
        int32_t word = static_cast<int32_t>(seed == 0 ? 1 : seed);
        state_[0] = static_cast<uint32_t>(word);
        for (int i = 1; i < DEGREE; i++) {
            // 16807 * word mod (2^31 - 1) without overflow (Schrage).
            long hi = word / 127773;
            long lo = word % 127773;
            word = static_cast<int32_t>(16807 * lo - 2836 * hi);
            if (word < 0)
                word += 2147483647;
            state_[i] = static_cast<uint32_t>(word);
        }
        front_ = SEPARATION;
        rear_ = 0;
        for (int i = 0; i < 10 * DEGREE; i++)
            next();
    }

    // The next number, 0 to 2^31 - 1.
    int next()
    {
        uint32_t sum = state_[front_] += state_[rear_];
        if (++front_ == DEGREE)
            front_ = 0;
        if (++rear_ == DEGREE)
            rear_ = 0;
        return static_cast<int>(sum >> 1);
    }

    static constexpr int DEGREE = 31;
    static constexpr int SEPARATION = 3;

    // Where the sequence stands, as words that a file can hold.
    struct position {
        uint32_t words[DEGREE];
        int front, rear;
    };
    position where() const
    {
        position p{};
        for (int i = 0; i < DEGREE; i++)
            p.words[i] = state_[i];
        p.front = front_;
        p.rear = rear_;
        return p;
    }
    // Goes on from `p`; false, changing nothing, for a position that no
    // sequence has: the front is always SEPARATION ahead of the rear, and
    // some word is odd. The words' lowest bits change as a shift register
    // (x^31 + x^3 + 1 over GF(2)), which never leaves or reaches the
    // all-zero state, and every seed gives some odd word (tried over all
    // 2^32 seeds: at most the first 29 are even, for seed 2404952748).
    // Among the states refused is the one of all words 0, whose numbers
    // are all 0: a search for a cell would go on for ever.
    bool go_to(const position &p)
    {
        bool odd = false;
        for (uint32_t word : p.words)
            odd |= (word & 1) != 0;
        if (!odd || p.rear < 0 || p.rear >= DEGREE || p.front != (p.rear + SEPARATION) % DEGREE)
            return false;
        for (int i = 0; i < DEGREE; i++)
            state_[i] = p.words[i];
        front_ = p.front;
        rear_ = p.rear;
        return true;
    }

private:
    uint32_t state_[DEGREE];
    int front_, rear_;
};

// A seed written as decimal digits alone, 0 to 4294967295: no sign, no
// space, not empty. False for anything else.
inline bool parse_seed(const char *text, unsigned *seed)
{
    unsigned long long value = 0;
    for (const char *p = text; *p != '\0'; p++) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 4294967295ULL)
            return false;
    }
    if (*text == '\0')
        return false;
    *seed = static_cast<unsigned>(value);
    return true;
}

}  // namespace common

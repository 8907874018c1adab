// The per-race statistics table that both programs fill, each with its
// own record type: entry 0 holds every bug, entry i the bugs of race byte i.
#pragma once

#include <cstdint>

#include "common/census.h"

namespace common {

// The race bytes met so far in a walk: tells the first bug of each race
// without a table entry to reset for every race that might be.
class races_met {
public:
    bool first(unsigned char race)
    {
        uint64_t bit = uint64_t{1} << (race & 63);
        bool seen_before = (bits_[race >> 6] & bit) != 0;
        bits_[race >> 6] |= bit;
        return !seen_before;
    }

private:
    uint64_t bits_[4] = {};
};

// Turns the sums of entry 0 (when it counted any bug) and of the `races`
// entries named in `seen` into averages; returns `races`.
template <class Counts>
int average_seen(Counts *table, const unsigned char *seen, int races, void (*average)(Counts &))
{
    if (table[0].count != 0)
        average(table[0]);
    for (int i = 0; i < races; i++)
        average(table[seen[i]]);
    return races;
}

// A census from a program's statistics table, whatever its record type:
// `count` fills the table (entry 0: every bug, entry i: race byte i) and
// names the races with bugs; `averages` copies entry 0's averages.
template <class Counts, class Count>
void census_from(Count count, void (*averages)(const Counts &, census *), census *c)
{
    Counts table[256];
    unsigned char seen[256];
    c->races = count(table, seen);
    c->population = table[0].count;
    averages(table[0], c);
    c->others = 0;
    for (int &letter : c->letters)
        letter = 0;
    for (int i = 0; i < c->races; i++) {
        int race = seen[i];
        if (race >= 'A' && race <= 'Z')
            c->letters[race - 'A'] = table[race].count;
        else
            c->others += table[race].count;
    }
}

}  // namespace common

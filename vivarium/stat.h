// The per-race statistics screen.
#pragma once

#include "common/census.h"
#include "vivarium/world.h"

namespace vivarium {

// The least, total and greatest value of one quantity over some bugs; the
// total becomes the average once they are all counted.
struct span {
    int min;
    int sum;
    int max;
};

// The figures of the bugs of one race byte; entry 0 of a table holds the
// totals over every bug (its min and max stay untouched).
struct race_counts {
    int count;
    span age, food, gen, size;
};

constexpr int RACES = 256;

// count 0; each min INT_MAX, sum 0, max INT_MIN.
void init_counts(race_counts *c);

// Counts the world's population of bugs, from the cursor on, into the table and turns the
// sums into averages. Returns how many races have bugs; `seen` (if given)
// gets their bytes. Entries without bugs hold their count only.
int count_races(const world &w, race_counts table[RACES], unsigned char *seen = nullptr);

// The log's figures of the living bugs, from count_races.
void take_census(const world &w, common::census *c);

}  // namespace vivarium

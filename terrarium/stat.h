// The per-race statistics screen.
#pragma once

#include "common/census.h"
#include "terrarium/world.h"

namespace terrarium {

// One entry of the statistics table: the bugs of one race byte (entry 0
// holds every bug). The sums are 64-bit so that no population can make
// them overflow; once the table is filled each holds its average, which
// always fits an int.
struct race_counts {
    int count;
    char race;
    int age_min;
    long long age_sum;
    int age_max;
    int food_min;
    long long food_sum;
    int food_max;
    int gen_min;
    long long gen_sum;
    int gen_max;
    int size_min;
    long long size_sum;
    int size_max;
    int vision_min;
    long long vision_sum;
    int vision_max;
};

constexpr int RACES = 256;

// Count 0, every min INT_MAX, sum 0, max INT_MIN; race is left alone.
void init_counts(race_counts *c);

// Second count minus first: negative when a has more bugs, so a sort by
// it puts the larger counts first.
int cmp_race(const race_counts *a, const race_counts *b);

// Counts every bug of the ring, from the cursor on, into the table (entry i:
// the race byte i, entry 0: every bug) and turns the sums into averages.
// Returns how many races have bugs; `seen` (if given) gets their bytes.
// Entries without bugs hold their count and race only.
int count_races(const world &w, race_counts table[RACES], unsigned char *seen = nullptr);

// The log's figures of the living bugs, from count_races.
void take_census(const world &w, common::census *c);

}  // namespace terrarium

#include "terrarium/stat.h"

#include <climits>

#include "common/races.h"
#include "terrarium/world.h"

namespace terrarium {

void init_counts(race_counts *c)
{
    c->count = 0;
    c->age_min = c->food_min = c->gen_min = c->size_min = c->vision_min = INT_MAX;
    c->age_sum = c->food_sum = c->gen_sum = c->size_sum = c->vision_sum = 0;
    c->age_max = c->food_max = c->gen_max = c->size_max = c->vision_max = INT_MIN;
}

// Counts are never negative, so the difference cannot overflow.
int cmp_race(const race_counts *a, const race_counts *b) { return b->count - a->count; }

namespace {

void add(int value, int *min, long long *sum, int *max)
{
    if (value < *min)
        *min = value;
    *sum += value;
    if (value > *max)
        *max = value;
}

// With `spans` false only the counts and the totals of every bug: all
// that the log reads.
template <bool spans>
void count_bug(race_counts *all, race_counts *race, const bug *b)
{
    all->age_sum += b->age;
    all->food_sum += b->food;
    all->gen_sum += b->gen;
    all->size_sum += b->size;
    all->vision_sum += b->vision;
    all->count++;
    race->count++;
    if (!spans)
        return;
    add(b->age, &race->age_min, &race->age_sum, &race->age_max);
    add(b->food, &race->food_min, &race->food_sum, &race->food_max);
    add(b->gen, &race->gen_min, &race->gen_sum, &race->gen_max);
    add(b->size, &race->size_min, &race->size_sum, &race->size_max);
    add(b->vision, &race->vision_min, &race->vision_sum, &race->vision_max);
}

// Integer division truncates toward zero; the average of ints is an int.
void average(race_counts &c)
{
    c.age_sum /= c.count;
    c.food_sum /= c.count;
    c.gen_sum /= c.count;
    c.size_sum /= c.count;
    c.vision_sum /= c.count;
}

// An entry is reset when its first bug comes, so the walk costs little
// more than the bugs it counts, as often as the log of a run asks for it.
// With `spans`, for the statistics screen, every entry holds its count and
// race; without, for the log, entries without bugs are left as they were.
template <bool spans>
int count(const world &w, race_counts table[RACES], unsigned char *seen)
{
    unsigned char met_order[RACES];
    seen = seen ? seen : met_order;
    int races = 0;
    for (int i = 0; spans && i < RACES; i++) {
        table[i].count = 0;
        table[i].race = static_cast<char>(i);
    }
    init_counts(&table[0]);
    common::races_met met;
    const bug *b = w.refs.cursor;
    do {
        unsigned char byte = static_cast<unsigned char>(b->race);
        race_counts &race = table[byte];
        if (met.first(byte)) {
            init_counts(&race);
            seen[races++] = byte;
        }
        count_bug<spans>(&table[0], &race, b);
        b = b->next;
    } while (b != w.refs.cursor);
    return common::average_seen<race_counts>(table, seen, races, average);
}

}  // namespace

int count_races(const world &w, race_counts table[RACES], unsigned char *seen) { return count<true>(w, table, seen); }

void take_census(const world &w, common::census *c)
{
    common::census_from<race_counts>(
        [&w](race_counts *table, unsigned char *seen) { return count<false>(w, table, seen); },
        [](const race_counts &all, common::census *c) {
            c->food = all.food_sum;
            c->age = all.age_sum;
            c->gen = all.gen_sum;
            c->size = all.size_sum;
            c->vision = all.vision_sum;
        },
        c);
}

}  // namespace terrarium

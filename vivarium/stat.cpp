#include "vivarium/stat.h"

#include <climits>
#include <initializer_list>

#include "common/races.h"
#include "vivarium/world.h"

namespace vivarium {

namespace {

void reset(span &s)
{
    s.min = INT_MAX;
    s.sum = 0;
    s.max = INT_MIN;
}

void take(span &s, int value)
{
    if (value < s.min)
        s.min = value;
    s.sum += value;
    if (value > s.max)
        s.max = value;
}

void average(race_counts &c)
{
    for (span *s : {&c.age, &c.food, &c.gen, &c.size})
        s->sum /= c.count;
}

}  // namespace

void init_counts(race_counts *c)
{
    c->count = 0;
    for (span *s : {&c->age, &c->food, &c->gen, &c->size})
        reset(*s);
}

namespace {

// With `spans`, for the statistics screen, every entry holds its count
// and each race its spans; without, for the log, only the counts and the
// totals of every bug, and entries without bugs are left as they were.
template <bool spans>
int count(const world &w, race_counts table[RACES], unsigned char *seen)
{
    unsigned char met_order[RACES];
    seen = seen ? seen : met_order;
    int races = 0;
    for (int i = 0; spans && i < RACES; i++)
        table[i].count = 0;
    race_counts &all = table[0];
    init_counts(&all);
    common::races_met met;
    // A counted walk: the population says how many bugs there are.
    const bug *b = w.refs.cursor;
    while (all.count < w.population) {
        all.age.sum += b->age;
        all.food.sum += b->food;
        all.gen.sum += b->gen;
        all.size.sum += b->size;
        unsigned char byte = static_cast<unsigned char>(b->race);
        race_counts &r = table[byte];
        if (met.first(byte)) {
            init_counts(&r);
            seen[races++] = byte;
        }
        r.count++;
        all.count++;
        if (spans) {
            take(r.age, b->age);
            take(r.food, b->food);
            take(r.gen, b->gen);
            take(r.size, b->size);
        }
        b = b->next;
    }
    return common::average_seen<race_counts>(table, seen, races, average);
}

}  // namespace

int count_races(const world &w, race_counts table[RACES], unsigned char *seen) { return count<true>(w, table, seen); }

// The races in byte order, however they came in the ring.
void take_census(const world &w, common::census *c)
{
    common::census_from<race_counts>(
        [&w](race_counts *table, unsigned char *seen) { return count<false>(w, table, seen); },
        [](const race_counts &all, common::census *c) {
            c->food = all.food.sum;
            c->age = all.age.sum;
            c->gen = all.gen.sum;
            c->size = all.size.sum;
            c->vision = 0;
        },
        c);
}

}  // namespace vivarium

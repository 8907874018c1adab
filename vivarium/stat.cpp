#include "vivarium/stat.h"

#include <algorithm>
#include <climits>
#include <curses.h>
#include <initializer_list>

#include "common/races.h"
#include "vivarium/globals.h"

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

void print_race(int race, const race_counts &c)
{
    wprintw(stdscr, "%c\t%i\t%i\t%i\t%i\t%i\t%i\t%i\t%i \n", race, c.count, c.age.sum, c.age.max, c.food.sum,
            c.food.max, c.size.min, c.size.sum, c.size.max);
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
int count(race_counts table[RACES], unsigned char *seen)
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
    const bug *b = refs.cursor;
    while (all.count < population) {
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

int count_races(race_counts table[RACES], unsigned char *seen) { return count<true>(table, seen); }

// The races in byte order, however they came in the ring.
void stat()
{
    race_counts table[RACES];
    unsigned char races[RACES];
    int alive = count_races(table, races);
    std::sort(races, races + alive);
    // Erased, not cleared: the refresh sends only what changed since the
    // last pass, where a clear would repaint the whole terminal each time.
    werase(stdscr);
    const race_counts &all = table[0];
    wprintw(stdscr, "Status --------------------------------------------------------------\n");
    wprintw(stdscr, "race\tpop\tage\tamax\tfood\tfmax\tsmin\tsavg\tsmax \n");
    wprintw(stdscr, "all\t%i\t%i\t\t%i\t\t\t\t     \n", all.count, all.age.sum, all.food.sum);
    for (int i = 0; i < alive; i++)
        print_race(races[i], table[races[i]]);
}

void take_census(common::census *c)
{
    common::census_from<race_counts>(
        count<false>,
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

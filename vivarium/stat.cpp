#include "vivarium/stat.h"

#include <climits>
#include <curses.h>
#include <initializer_list>

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

void count_races(race_counts table[RACES])
{
    for (int i = 0; i < RACES; i++)
        init_counts(&table[i]);
    race_counts &all = table[0];
    // A counted walk: the population says how many bugs there are.
    const bug *b = bugs;
    while (all.count < population) {
        all.age.sum += b->age;
        all.food.sum += b->food;
        all.gen.sum += b->gen;
        all.size.sum += b->size;
        race_counts &r = table[static_cast<unsigned char>(b->race)];
        r.count++;
        take(r.age, b->age);
        take(r.food, b->food);
        take(r.gen, b->gen);
        take(r.size, b->size);
        all.count++;
        b = b->next;
    }
    for (int i = 0; i < RACES; i++)
        if (table[i].count != 0)
            average(table[i]);
}

void stat()
{
    race_counts table[RACES];
    // Erased, not cleared: the refresh sends only what changed since the
    // last pass, where a clear would repaint the whole terminal each time.
    werase(stdscr);
    count_races(table);
    const race_counts &all = table[0];
    wprintw(stdscr, "Status --------------------------------------------------------------\n");
    wprintw(stdscr, "race\tpop\tage\tamax\tfood\tfmax\tsmin\tsavg\tsmax \n");
    wprintw(stdscr, "all\t%i\t%i\t\t%i\t\t\t\t     \n", all.count, all.age.sum, all.food.sum);
    for (int race = 1; race < RACES; race++)
        if (table[race].count != 0)
            print_race(race, table[race]);
}

}  // namespace vivarium

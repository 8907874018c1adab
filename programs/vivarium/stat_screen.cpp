// The statistics screen of vivarium, drawn from the per-race table.
#include <algorithm>
#include <curses.h>

#include "vivarium/stat.h"
#include "programs/vivarium/stat_screen.h"

namespace vivarium {

namespace {

void print_race(int race, const race_counts &c)
{
    wprintw(stdscr, "%c\t%i\t%i\t%i\t%i\t%i\t%i\t%i\t%i \n", race, c.count, c.age.sum, c.age.max, c.food.sum,
            c.food.max, c.size.min, c.size.sum, c.size.max);
}

}  // namespace

void stat(const world &w)
{
    race_counts table[RACES];
    unsigned char races[RACES];
    int alive = count_races(w, table, races);
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

}  // namespace vivarium

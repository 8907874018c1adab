// The statistics screen of terrarium, drawn from the per-race table.
#include <algorithm>
#include <curses.h>

#include "terrarium/stat.h"
#include "programs/terrarium/stat_screen.h"

namespace terrarium {

namespace {

int avg(long long average) { return static_cast<int>(average); }

// Largest count first; entries of equal count keep their table order,
// which is byte order, so std::sort (in place, no heap) gives the result
// of a stable sort by cmp_race.
bool before(const race_counts &a, const race_counts &b)
{
    int order = cmp_race(&a, &b);
    if (order != 0)
        return order < 0;
    return static_cast<unsigned char>(a.race) < static_cast<unsigned char>(b.race);
}

}  // namespace

void stat(const world &w)
{
    const options &shape = w.shape;
    race_counts table[RACES];
    // Erased, not cleared: the refresh sends only what changed since the
    // last pass, where a clear would repaint the whole terminal each time.
    werase(stdscr);
    count_races(w, table);
    const race_counts &all = table[0];
    wprintw(stdscr, "Status -- %i/%i -- %.2f -- %i -- %s -- %s -- \n", shape.roughness, shape.grid_size,
            static_cast<double>(shape.world_size), 503, BUILD_DATE, BUILD_TIME);
    wprintw(stdscr, "race\tpop\tage\tamax\tafood\tsavg\tsmax\tfavg\tfmax \n");
    wprintw(stdscr, "all\t%i\t%i\t\t%i\t\t\t%i\t     \n", all.count, avg(all.age_sum),
            avg(all.food_sum), avg(all.vision_sum));
    std::sort(table, table + RACES, before);
    for (int p = 1; p < LINES - 4 && p < RACES; p++) {
        const race_counts &c = table[p];
        if (c.count > 0)
            wprintw(stdscr, "%c\t%i\t%i\t%i\t%i\t%i\t%i\t%i\t%i \n", c.race, c.count,
                    avg(c.age_sum), c.age_max, avg(c.food_sum), avg(c.size_sum), c.size_max,
                    avg(c.vision_sum), c.vision_max);
    }
}

}  // namespace terrarium

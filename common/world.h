// A world as one value: everything that makes it, and nothing of the
// screen. The common part holds the map, the random generator, the pass
// count and phase and the screen size the world was made for; each
// program's world adds its ring of bugs with their references and index,
// and its own figures. Every rule takes the world it works on.
#pragma once

#include <vector>

#include "common/findbug.h"
#include "common/map.h"
#include "common/random.h"
#include "common/references.h"
#include "common/ring.h"

namespace common {

struct world_base {
    world_base() = default;
    world_base(const world_base &) = delete;
    world_base &operator=(const world_base &) = delete;
    virtual ~world_base() = default;

    world_map map;
    random_stream random;
    long passes = 0;               // pass boundaries reached
    int phase = 0;                 // passes modulo 25
    int screen_lines = 0;          // the screen the world's size came from
    int screen_cols = 0;
    std::vector<char> food_rows;   // growfood's three rows, kept from call to call

    // The planned map, blank, and the generator seeded with `seed`. A map
    // that cannot be had ends the program: "world too large".
    void open(unsigned seed);
};

// The ring of bugs of one program's record type and its references: the
// world owns every bug of the ring.
template <class Bug, std::size_t Trackers>
struct bug_world : world_base {
    using bug_type = Bug;
    using references = bug_references<Bug, Trackers>;

    ~bug_world() override
    {
        free_ring(refs.cursor);
    }

    references refs;
    bug_index<Bug> index;   // the bugs by the cell they stand on

    // The first bug in ring order from the cursor on (row, col); a cell
    // showing a bug that the ring does not hold stops the program.
    Bug *findbug(int row, int col) const { return find_on_cell(index, refs.cursor, row, col); }
};

}  // namespace common

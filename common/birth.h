// The parts of a birth that both programs share: the partner on the cell
// the parent faces, the search for a blank cell for the child, and the
// mixing of the genes.
#pragma once

#include <cstdio>

#include "common/decide.h"
#include "common/direction.h"
#include "common/world.h"

namespace common {

// A blank cell for a child of the bug at (y, x): tries cells in a box
// around it that grows by one cell on each side with every try. False when
// the map has no blank cell at all (looked for once the tries get long).
bool find_child_cell(world_base &w, int y, int x, int *row, int *col);

// The child's genes, one by one: from the parent 5 times in 9, from the
// partner 3 times in 9, a new random gene once in 9.
void mix_genes(random_stream &random, gene_t *child, const gene_t *parent, const gene_t *partner, int genes);

// The second parent: the parent itself when it is fed well enough, else
// the bug on the cell it faces.
template <class World, class Bug>
Bug *partner_of(World &w, Bug *parent, bool own_partner)
{
    if (own_partner)
        return parent;
    if (!is_direction(parent->facing)) {
        std::fputs("default in mate find bugs->vector is bad\n", stderr);
        return parent;
    }
    int row = 0, col = 0;
    relative_cell(parent->facing, parent->y, parent->x, 1, 0, &row, &col);
    return w.findbug(wrap(row, w.map.rows()), wrap(col, w.map.cols()));
}

}  // namespace common

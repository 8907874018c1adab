// An index of the bugs by the cell they stand on, so that finding the bug
// on a cell costs the same however many bugs there are. It answers exactly
// as a walk of the ring would: the first bug on the cell in ring order from
// a given bug, also when several bugs share the cell.
//
// The record type needs three fields for it: `cell_id` and `next_on_cell`
// (uint32_t) and `ring_order` (uint64_t). Ring order is kept as labels that
// grow along the ring with one wrap, so the distance from one bug to
// another in turn order is the difference of their labels, modulo 2^64.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

template <class Bug>
class cell_index {
public:
    // An empty index for a map of rows x cols cells.
    void reset(int rows, int cols)
    {
        cols_ = cols;
        heads_.assign(static_cast<size_t>(rows) * static_cast<size_t>(cols), 0);
        bugs_.clear();
        free_ids_.clear();
    }

    // Lets go of all memory.
    void clear()
    {
        std::vector<uint32_t>().swap(heads_);
        std::vector<Bug *>().swap(bugs_);
        std::vector<uint32_t>().swap(free_ids_);
    }

    // An index of the ring from `start` on a map of rows x cols cells;
    // false when the memory for it cannot be had.
    bool build(int rows, int cols, Bug *start)
    {
        try {
            reset(rows, cols);
            add_ring(start);
        } catch (const std::bad_alloc &) {
            clear();
            return false;
        }
        return true;
    }

    // Indexes every bug of the ring from `start`, labelled in ring order.
    void add_ring(Bug *start)
    {
        if (start == nullptr)
            return;
        relabel(start);
        Bug *b = start;
        do {
            attach(b);
            b = b->next;
        } while (b != start);
    }

    // Indexes b, which has just been linked into the ring after b->prev.
    void add_linked(Bug *b)
    {
        if (!label_between(b))
            relabel(b);
        attach(b);
    }

    // Takes b out of the index (before it leaves the ring).
    void remove(Bug *b)
    {
        unchain(b, b->y, b->x);
        bugs_[b->cell_id] = nullptr;
        free_ids_.push_back(b->cell_id);
    }

    // b has moved from (old_y, old_x) to (b->y, b->x).
    void move(Bug *b, int old_y, int old_x)
    {
        unchain(b, old_y, old_x);
        chain(b);
    }

    // The first bug on (row, col) in ring order from `cursor`, or null.
    Bug *first_from(const Bug *cursor, int row, int col) const
    {
        uint32_t id = heads_[cell(row, col)];
        if (id == 0)
            return nullptr;
        Bug *best = bugs_[id - 1];
        uint64_t best_distance = best->ring_order - cursor->ring_order;
        for (id = best->next_on_cell; id != 0; id = bugs_[id - 1]->next_on_cell) {
            Bug *b = bugs_[id - 1];
            uint64_t distance = b->ring_order - cursor->ring_order;
            if (distance < best_distance) {
                best = b;
                best_distance = distance;
            }
        }
        return best;
    }

private:
    size_t cell(int row, int col) const
    {
        return static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col);
    }

    void attach(Bug *b)
    {
        if (free_ids_.empty()) {
            b->cell_id = static_cast<uint32_t>(bugs_.size());
            bugs_.push_back(b);
        } else {
            b->cell_id = free_ids_.back();
            free_ids_.pop_back();
            bugs_[b->cell_id] = b;
        }
        chain(b);
    }

    void chain(Bug *b)
    {
        uint32_t &head = heads_[cell(b->y, b->x)];
        b->next_on_cell = head;
        head = b->cell_id + 1;
    }

    void unchain(Bug *b, int row, int col)
    {
        uint32_t *link = &heads_[cell(row, col)];
        while (*link != b->cell_id + 1)
            link = &bugs_[*link - 1]->next_on_cell;
        *link = b->next_on_cell;
    }

    // Gives b a label between its neighbours in the ring; false when there
    // is no room left there.
    static bool label_between(Bug *b)
    {
        uint64_t before = b->prev->ring_order;
        uint64_t after = b->next->ring_order;
        if (b->next == b->prev) {  // a ring of two: anything but `before`
            b->ring_order = before + (uint64_t{1} << 63);
            return true;
        }
        uint64_t gap = after - before;  // modulo 2^64, across the wrap too
        if (gap < 2)
            return false;
        b->ring_order = before + gap / 2;
        return true;
    }

    // Spreads the labels evenly over the whole ring, `start` lowest.
    static void relabel(Bug *start)
    {
        uint64_t n = 0;
        Bug *b = start;
        do {
            n++;
            b = b->next;
        } while (b != start);
        uint64_t spacing = ~uint64_t{0} / n;
        uint64_t label = 0;
        do {
            b->ring_order = label;
            label += spacing;
            b = b->next;
        } while (b != start);
    }

    int cols_ = 0;
    std::vector<uint32_t> heads_;     // per cell: id + 1 of the first bug, 0 for none
    std::vector<Bug *> bugs_;         // by id
    std::vector<uint32_t> free_ids_;  // ids of removed bugs, for reuse
};

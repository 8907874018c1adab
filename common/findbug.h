// The lookup of a bug by the cell it stands on, for either program's
// record type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "common/hooks.h"
#include "common/ring.h"
#include "common/outcome.h"

namespace common {

// The diagnostic lines of a lookup that found no bug: the looking bug's
// cell and facing, then the cell looked at.
std::string lost_bug_report(int x, int y, int facing, int row, int col);

// Memory for the index through the allocation hook, so that a test can
// make it run out, as it can for bug records.
template <class T>
struct hooked_allocator {
    using value_type = T;
    hooked_allocator() = default;
    template <class U>
    hooked_allocator(const hooked_allocator<U> &) {}
    T *allocate(std::size_t n)
    {
        void *p = hooks.allocate(n * sizeof(T));
        if (p == nullptr)
            throw std::bad_alloc();
        return static_cast<T *>(p);
    }
    void deallocate(T *p, std::size_t) { std::free(p); }
    bool operator==(const hooked_allocator &) const { return true; }
    bool operator!=(const hooked_allocator &) const { return false; }
};

// The most bugs a world can hold: births stop there, as when memory runs
// out, so that any count of bugs fits an int and the index's 32-bit ids.
constexpr long long POPULATION_LIMIT = 0x7fffffff;

// An index of the bugs by the cell they stand on, so that finding the bug
// on a cell costs the same however many bugs there are. It answers
// exactly as a walk of the ring would: the first bug on the cell in ring
// order from a given bug, also when several bugs share the cell.
//
// Cells with bugs are found through a hash table, and each cell's bugs
// form a chain; ring order is kept as labels that grow along the ring with
// one wrap, so the distance from one bug to another in turn order is the
// difference of their labels, modulo 2^64. Its memory grows with the
// number of bugs, not with the map. The record needs one field for it:
// `uint32_t index_id`.
template <class Bug>
class bug_index {
public:
    // An empty index for a map of `cols` columns.
    void reset(int cols)
    {
        cols_ = static_cast<uint32_t>(cols);
        entries_.clear();
        free_ids_.clear();
        table_.clear();
        count_ = 0;
    }

    // Lets go of all memory.
    void clear()
    {
        reset(0);
        entries_.shrink_to_fit();
        free_ids_.shrink_to_fit();
        table_.shrink_to_fit();
    }

    // An index of the ring from `start` on a map of `cols` columns; false
    // when the memory for it cannot be had.
    bool build(int cols, Bug *start)
    {
        reset(cols);
        try {
            reserve(static_cast<size_t>(ring_size(start)));
        } catch (const std::bad_alloc &) {
            clear();
            return false;
        }
        add_ring(start);
        return true;
    }

    // Bugs indexed: the ring's size, without a walk.
    size_t size() const { return count_; }

    // Room for one more bug; false when it cannot be had or the world is
    // full. Adding a bug after a true answer allocates nothing, so it
    // cannot fail half done.
    bool make_room()
    {
        if (count_ >= static_cast<size_t>(POPULATION_LIMIT))
            return false;
        try {
            reserve(count_ + 1);
        } catch (const std::bad_alloc &) {
            return false;
        }
        return true;
    }

    // Indexes b, which has just been linked into the ring after b->prev.
    // Needs the room that make_room gives.
    void add_linked(Bug *b)
    {
        attach(b);
        if (!label_between(b))
            relabel(b);
    }

    // Takes b out of the index (before it leaves the ring).
    void remove(Bug *b)
    {
        unchain(b->index_id, key(b->y, b->x));
        entries_[b->index_id].bug = nullptr;
        free_ids_.push_back(b->index_id);
        count_--;
    }

    // b has moved from (old_y, old_x) to (b->y, b->x).
    void move(Bug *b, int old_y, int old_x)
    {
        unchain(b->index_id, key(old_y, old_x));
        chain(b->index_id, key(b->y, b->x));
    }

    // The first bug on (row, col) in ring order from `cursor`, or null.
    Bug *first_from(const Bug *cursor, int row, int col) const
    {
        if (table_.empty())
            return nullptr;
        const slot &s = table_[find(key(row, col))];
        if (s.alone != nullptr)  // most cells hold one bug: no order to weigh
            return s.alone;
        uint32_t id = s.head;
        if (id == 0)
            return nullptr;
        uint64_t from = entries_[cursor->index_id].order;
        const entry *best = &entries_[id - 1];
        uint64_t best_distance = best->order - from;
        for (id = best->next; id != 0; id = entries_[id - 1].next) {
            const entry *e = &entries_[id - 1];
            if (e->order - from < best_distance) {
                best = e;
                best_distance = e->order - from;
            }
        }
        return best->bug;
    }

private:
    struct entry {
        Bug *bug;
        uint64_t order;  // ring-order label
        uint32_t next;   // id + 1 of the next bug on the same cell, 0 at the end
    };
    struct slot {
        uint32_t cell;
        uint32_t head;   // id + 1 of the cell's first bug; 0: the slot is empty
        Bug *alone;      // the bug, when it is the only one on the cell
    };
    template <class T>
    using list = std::vector<T, hooked_allocator<T>>;

    // Maps are at most MAP_SIDE_LIMIT (32767) cells on a side, so a cell
    // number fits 32 bits.
    uint32_t key(int row, int col) const { return static_cast<uint32_t>(row) * cols_ + static_cast<uint32_t>(col); }

    size_t home(uint32_t cell) const
    {
        return static_cast<size_t>((cell * 0x9E3779B97F4A7C15ULL) >> shift_);
    }

    // The slot of `cell`, or the empty slot where it would go.
    size_t find(uint32_t cell) const
    {
        size_t mask = table_.size() - 1;
        size_t i = home(cell);
        while (table_[i].head != 0 && table_[i].cell != cell)
            i = (i + 1) & mask;
        return i;
    }

    // Capacity for n bugs: ids, free ids, and a table at most half full.
    void reserve(size_t n)
    {
        if (n > entries_.capacity())
            entries_.reserve(n < 64 ? 64 : (n > 2 * entries_.capacity() ? n : 2 * entries_.capacity()));
        if (free_ids_.capacity() < entries_.capacity())
            free_ids_.reserve(entries_.capacity());
        if (2 * (n + 1) > table_.size()) {
            size_t size = table_.empty() ? 64 : table_.size();
            while (2 * (n + 1) > size)
                size *= 2;
            rehash(size);
        }
    }

    void rehash(size_t size)
    {
        list<slot> old(size, slot{0, 0, nullptr});
        old.swap(table_);
        shift_ = 64;
        for (size_t s = size; s > 1; s /= 2)
            shift_--;
        for (const slot &s : old)
            if (s.head != 0)
                table_[find(s.cell)] = s;
    }

    void attach(Bug *b)
    {
        if (free_ids_.empty()) {
            b->index_id = static_cast<uint32_t>(entries_.size());
            entries_.push_back(entry{b, 0, 0});
        } else {
            b->index_id = free_ids_.back();
            free_ids_.pop_back();
            entries_[b->index_id] = entry{b, 0, 0};
        }
        count_++;
        chain(b->index_id, key(b->y, b->x));
    }

    void chain(uint32_t id, uint32_t cell)
    {
        slot &s = table_[find(cell)];
        if (s.head == 0)
            s.cell = cell;
        entries_[id].next = s.head;
        s.head = id + 1;
        s.alone = entries_[id].next == 0 ? entries_[id].bug : nullptr;
    }

    void unchain(uint32_t id, uint32_t cell)
    {
        size_t i = find(cell);
        uint32_t *link = &table_[i].head;
        while (*link != id + 1)
            link = &entries_[*link - 1].next;
        *link = entries_[id].next;
        slot &s = table_[i];
        if (s.head == 0)
            erase(i);
        else
            s.alone = entries_[s.head - 1].next == 0 ? entries_[s.head - 1].bug : nullptr;
    }

    // Empties slot i, moving later slots of its run back so that every
    // cell stays reachable from its home slot.
    void erase(size_t i)
    {
        size_t mask = table_.size() - 1;
        for (size_t j = (i + 1) & mask; table_[j].head != 0; j = (j + 1) & mask) {
            size_t h = home(table_[j].cell);
            // Slot j may fill the hole at i unless its home lies in (i, j].
            bool stays = i <= j ? (i < h && h <= j) : (i < h || h <= j);
            if (!stays) {
                table_[i] = table_[j];
                i = j;
            }
        }
        table_[i] = slot{0, 0, nullptr};
    }

    uint64_t &order(const Bug *b) { return entries_[b->index_id].order; }

    // Gives b a label between its neighbours in the ring; false when there
    // is no room left there.
    bool label_between(Bug *b)
    {
        uint64_t before = order(b->prev);
        uint64_t after = order(b->next);
        if (b->next == b->prev) {  // a ring of two: anything but `before`
            order(b) = before + (uint64_t{1} << 63);
            return true;
        }
        uint64_t gap = after - before;  // modulo 2^64, across the wrap too
        if (gap < 2)
            return false;
        order(b) = before + gap / 2;
        return true;
    }

    // Spreads the labels evenly over the whole ring, `start` lowest.
    void relabel(Bug *start)
    {
        uint64_t spacing = ~uint64_t{0} / count_;
        uint64_t label = 0;
        for_each_bug(start, [&](Bug *b) {
            order(b) = label;
            label += spacing;
        });
    }

    // Indexes every bug of the ring from `start`, labelled in ring order.
    void add_ring(Bug *start)
    {
        if (start == nullptr)
            return;
        for_each_bug(start, [&](Bug *b) { attach(b); });
        relabel(start);
    }

    uint32_t cols_ = 0;
    int shift_ = 64;
    size_t count_ = 0;   // bugs indexed
    list<entry> entries_;      // by id
    list<uint32_t> free_ids_;  // ids of removed bugs, for reuse
    list<slot> table_;         // cells with bugs, open addressing
};

// The first bug of the ring from `cursor` on (row, col), through the
// index. A cell that no bug of the ring occupies is an inconsistency that
// cannot be carried on: the world ends with the report (lost bug).
template <class Bug>
Bug *find_on_cell(const bug_index<Bug> &index, Bug *cursor, int row, int col)
{
    Bug *b = index.first_from(cursor, row, col);
    if (b == nullptr)
        end_world(outcome::lost_bug, lost_bug_report(cursor->x, cursor->y, cursor->facing, row, col));
    return b;
}

}  // namespace common

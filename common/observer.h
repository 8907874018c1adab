// What watches a world's run from outside it: the run's log, and whatever
// else a run wants told of the rules' events as they happen. A run owns
// its observers and hangs them on its world for as long as it runs; the
// rules only tell them, and a world that nobody watches pays one test of
// an empty list per event.
#pragma once

#include <algorithm>
#include <vector>

namespace common {

struct world_base;

// A bug as observers are told of it: where it stands, its race, and its
// record, which is the bug's own for as long as it lives (a later bug may
// be given the same record).
struct bug_seen {
    const void *record;
    int row, col;
    char race;
};

class observer {
public:
    virtual ~observer() = default;
    // A pass boundary reached, before its work: w.passes passes are done.
    virtual void at_pass_boundary(const world_base &w) = 0;
    // A child linked into the ring after its parent, on its cell.
    virtual void born(const world_base &, const bug_seen & /*child*/, const bug_seen & /*parent*/) {}
    // A bug about to leave the ring, still on its cell.
    virtual void died(const world_base &, const bug_seen &) {}
};

// The observers of a world, told in the order they were added. A copy of
// the world is another run's, watched by none: the list is never copied.
class observer_list {
public:
    observer_list() = default;
    observer_list(const observer_list &) {}
    observer_list &operator=(const observer_list &) { return *this; }

    void add(observer *o) { list_.push_back(o); }
    void remove(observer *o) { list_.erase(std::remove(list_.begin(), list_.end(), o), list_.end()); }
    bool any() const { return !list_.empty(); }

    void at_pass_boundary(const world_base &w) const
    {
        for (observer *o : list_)
            o->at_pass_boundary(w);
    }
    void born(const world_base &w, const bug_seen &child, const bug_seen &parent) const
    {
        for (observer *o : list_)
            o->born(w, child, parent);
    }
    void died(const world_base &w, const bug_seen &bug) const
    {
        for (observer *o : list_)
            o->died(w, bug);
    }

private:
    std::vector<observer *> list_;
};

// How the programs' rules tell a birth and a death, cheaply when nobody
// watches: the bug described only for an observer.
template <class World, class Bug>
void tell_birth(const World &w, const Bug *child, const Bug *parent)
{
    if (w.observers.any())
        w.observers.born(w, {child, child->y, child->x, child->race}, {parent, parent->y, parent->x, parent->race});
}

template <class World, class Bug>
void tell_death(const World &w, const Bug *bug)
{
    if (w.observers.any())
        w.observers.died(w, {bug, bug->y, bug->x, bug->race});
}

}  // namespace common

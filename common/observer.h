// What watches a world's run from outside it: the run's log, and whatever
// else a run wants told of the rules' events as they happen. A run owns
// its observers and hangs them on its world for as long as it runs; the
// rules only tell them, and a world that nobody watches pays one test of
// an empty list per event.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace common {

struct world_base;

// A bug as observers are told of it: where it stands, its race, and its
// record, which is the bug's own for as long as it lives (a later bug may
// be given the same record); its id, unique within its world, and what it
// was born with: its generation, size, vision (-1 where the rules have
// none) and its genes.
struct bug_seen {
    const void *record;
    int row, col;
    char race;
    int64_t id = 0;
    int gen = 0, size = 0, vision = -1;
    const signed char *dna = nullptr;
    int genes = 0;
};

// Why a bug died: at the ageing step without food, or in a fight.
enum class death_cause { starved, killed };

class observer {
public:
    virtual ~observer() = default;
    // A pass boundary reached, before its work: w.passes passes are done.
    virtual void at_pass_boundary(const world_base &w) = 0;
    // A child linked into the ring after its parent, on its cell; the
    // partner is the parent itself, another bug, or none (null).
    virtual void born(const world_base &, const bug_seen & /*child*/, const bug_seen & /*parent*/,
                      const bug_seen * /*partner*/)
    {
    }
    // A bug about to leave the ring, still on its cell, and why; the
    // killer when it was killed, else null.
    virtual void died(const world_base &, const bug_seen &, death_cause, const bug_seen * /*by*/) {}
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
    void born(const world_base &w, const bug_seen &child, const bug_seen &parent, const bug_seen *partner) const
    {
        for (observer *o : list_)
            o->born(w, child, parent, partner);
    }
    void died(const world_base &w, const bug_seen &bug, death_cause cause, const bug_seen *by) const
    {
        for (observer *o : list_)
            o->died(w, bug, cause, by);
    }

private:
    std::vector<observer *> list_;
};

template <class Bug, class = void>
struct has_vision : std::false_type {};
template <class Bug>
struct has_vision<Bug, std::void_t<decltype(Bug::vision)>> : std::true_type {};

// A program's bug as observers see it. Vision is read only where the record
// has it.
template <class Bug>
bug_seen seen(const Bug *b)
{
    bug_seen s{b, b->y, b->x, b->race};
    s.id = b->id;
    s.gen = b->gen;
    s.size = b->size;
    if constexpr (has_vision<Bug>::value)
        s.vision = b->vision;
    s.dna = b->dna;
    s.genes = static_cast<int>(sizeof b->dna / sizeof b->dna[0]);
    return s;
}

// How the programs' rules tell a birth and a death, cheaply when nobody
// watches: the bugs described only for an observer.
template <class World, class Bug>
void tell_birth(const World &w, const Bug *child, const Bug *parent, const Bug *partner)
{
    if (w.observers.any()) {
        bug_seen other = partner != nullptr ? seen(partner) : bug_seen{};
        w.observers.born(w, seen(child), seen(parent), partner != nullptr ? &other : nullptr);
    }
}

template <class World, class Bug>
void tell_death(const World &w, const Bug *bug, const Bug *killer)
{
    if (w.observers.any()) {
        bug_seen by = killer != nullptr ? seen(killer) : bug_seen{};
        w.observers.died(w, seen(bug), killer != nullptr ? death_cause::killed : death_cause::starved,
                         killer != nullptr ? &by : nullptr);
    }
}

}  // namespace common

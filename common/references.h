// The references into a world's ring of bugs, as one table: the turn
// cursor, the pass marker, the selected bug and the trackers, each tracker
// described once (its label, the value it compares, which way, how
// strictly). Ageing, the selection keys, the status line, the dump,
// start-up and the removal of a dead bug all go through it, so that a new
// tracker is one more line of its program's table.
#pragma once

#include <cstddef>

namespace common {

// A tracker: follows the bug with the record value among the bugs that
// have had an ageing step since it was last taken.
template <class Bug>
struct tracker {
    const char *label;              // on the status line, three columns: "hf "
    const char *name;               // in the dump: "hf"
    int (*value)(const Bug *);      // what is compared
    bool lowest;                    // the lowest value holds it, else the highest
    bool strict;                    // a tie leaves it with its holder
};

// Whether a bug whose value is `challenger` takes the tracker from one
// whose value is `holder`.
template <class Bug>
bool takes(const tracker<Bug> &t, int challenger, int holder)
{
    if (t.lowest)
        return t.strict ? challenger < holder : challenger <= holder;
    return t.strict ? challenger > holder : challenger >= holder;
}

// What the selection label shows when no tracker chose the selection (key
// '1', the start, the death of the selected bug at its ageing step).
constexpr const char *NEXT_LABEL = "xx ";

// The bug pointers of a world with `Trackers` trackers. None owns; each
// always points at a living bug of the ring (or all are null, without
// bugs).
template <class Bug, std::size_t Trackers>
struct bug_references {
    static constexpr std::size_t TRACKERS = Trackers;

    Bug *cursor = nullptr;    // the bug acting, or the one that acted last
    Bug *marker = nullptr;    // a pass boundary is reached on this bug
    Bug *selected = nullptr;  // the bug the keys show and edit
    Bug *held[Trackers] = {}; // each tracker's holder, in table order
    int chosen_by = 0;        // 0: no tracker chose the selection; i: tracker i - 1

    // Calls f(Bug *&) for every pointer: the cursor first.
    template <class F>
    void each(F f)
    {
        f(cursor);
        f(marker);
        f(selected);
        for (Bug *&p : held)
            f(p);
    }

    // Every pointer at b, the selection chosen by no tracker.
    void point_all_at(Bug *b)
    {
        each([b](Bug *&p) { p = b; });
        chosen_by = 0;
    }

    // Every pointer that holds `victim` moves to its predecessor.
    void step_back_from(Bug *victim)
    {
        each([victim](Bug *&p) {
            if (p == victim)
                p = victim->prev;
        });
    }

    // The ageing step's update of every tracker with b.
    void track(const tracker<Bug> (&table)[Trackers], Bug *b)
    {
        for (std::size_t i = 0; i < Trackers; i++)
            if (takes(table[i], table[i].value(b), table[i].value(held[i])))
                held[i] = b;
    }

    // Key '1' + which: which 0 selects the bug after the selected one,
    // which i the holder of tracker i - 1.
    void select(int which)
    {
        selected = which == 0 ? selected->next : held[which - 1];
        chosen_by = which;
    }

    // The selection label: the tracker that chose the selection.
    const char *label(const tracker<Bug> (&table)[Trackers]) const
    {
        return chosen_by == 0 ? NEXT_LABEL : table[chosen_by - 1].label;
    }
};

}  // namespace common

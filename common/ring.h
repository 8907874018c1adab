// The ring of bug records, for either program's record type: a circular
// doubly linked list through `prev` and `next`, in turn order.
#pragma once

#include <cstdlib>

namespace common {

template <class Bug>
void link_after(Bug *parent, Bug *child)
{
    child->next = parent->next;
    parent->next->prev = child;
    parent->next = child;
    child->prev = parent;
}

template <class Bug>
void unlink(Bug *victim)
{
    victim->prev->next = victim->next;
    victim->next->prev = victim->prev;
}

// Links b in as the last bug of the ring that starts at `head` (which may
// be null: b then starts the ring). The ring stays closed throughout.
template <class Bug>
void append_bug(Bug *&head, Bug *b)
{
    if (head == nullptr) {
        b->prev = b->next = b;
        head = b;
    } else {
        link_after(head->prev, b);
    }
}

// Calls f(b) for every bug, in ring order from `start` (which may be
// null); f must not change the ring.
template <class Bug, class F>
void for_each_bug(Bug *start, F f)
{
    if (start == nullptr)
        return;
    Bug *b = start;
    do {
        f(b);
        b = b->next;
    } while (b != start);
}

template <class Bug>
long ring_size(const Bug *start)
{
    long n = 0;
    for_each_bug(start, [&](const Bug *) { n++; });
    return n;
}

// Takes a bug out of the ring: every reference that holds it moves to its
// predecessor, then it is unlinked and freed. True when a single bug is
// left, which the caller must end the world on.
template <class Bug, class References>
bool remove_bug(Bug *victim, References &refs)
{
    refs.step_back_from(victim);
    Bug *left = victim->prev;
    unlink(victim);
    // In a ring of one the pointers could only stay on the victim itself;
    // it stays allocated, as the caller ends the world at once, which
    // keeps it as the last bug it held.
    if (left == victim)
        return true;
    bool single = left->next == left;
    std::free(victim);
    return single;
}

// Frees every bug of the ring that starts at `head` (which may be null).
template <class Bug>
void free_ring(Bug *head)
{
    if (head == nullptr)
        return;
    Bug *b = head->next;
    while (b != head) {
        Bug *next = b->next;
        std::free(b);
        b = next;
    }
    std::free(head);
}

}  // namespace common

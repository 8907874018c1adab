// Operations on the ring of bug records (a circular doubly linked list
// through `prev` and `next`), for either program's record type.
#pragma once

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

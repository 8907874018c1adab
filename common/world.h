// A world as one value: everything that makes it, and nothing of the
// screen. The common part holds the map, the random generator, the pass
// count and phase and the screen size the world was made for; each
// program's world adds its ring of bugs with their references and index,
// and its own figures. Every rule takes the world it works on.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/findbug.h"
#include "common/map.h"
#include "common/outcome.h"
#include "common/observer.h"
#include "common/random.h"
#include "common/references.h"
#include "common/ring.h"

namespace common {

struct world_base {
    world_base() = default;
    world_base &operator=(const world_base &) = delete;
    virtual ~world_base() = default;

    // A copy that runs on exactly as this world would.
    virtual std::unique_ptr<world_base> clone() const = 0;

    world_map map;
    random_stream random;
    long passes = 0;               // pass boundaries reached
    int phase = 0;                 // passes modulo 25
    int screen_lines = 0;          // the screen the world's size came from
    int screen_cols = 0;
    std::vector<char> food_rows;   // growfood's three rows, kept from call to call
    // Running until a rule ends or refuses the world; then how, and the
    // lines the programs print for it. An ended world is left as the rule
    // left it, to be shown or dumped, but runs no more.
    common::outcome outcome = outcome::running;
    std::string outcome_message;
    observer_list observers;       // the run's, told of its events; a copy has none
    int64_t next_id = 1;           // the id of the next bug born

    // Ids 1, 2, ... for the bugs of the ring in turn order from the
    // cursor, as founders; the next one after them.
    virtual void number_founders() = 0;
    // Each bug's id in ring order from the cursor; and given back, one to
    // a bug in that order (as many as the ring holds).
    virtual std::vector<int64_t> bug_ids() const = 0;
    virtual void give_ids(const std::vector<int64_t> &ids) = 0;
    // Each living bug as observers see it, in ring order from the cursor.
    virtual void each_bug_seen(const std::function<void(const bug_seen &)> &f) const = 0;

    // The planned map, blank, and the generator seeded with `seed`. A map
    // that cannot be had refuses the world: too large. Returns the outcome.
    common::outcome open(unsigned seed);

protected:
    world_base(const world_base &) = default;  // through clone
};

// The ring of bugs of one program's record type and its references: the
// world owns every bug of the ring.
template <class Bug, std::size_t Trackers>
struct bug_world : world_base {
    using bug_type = Bug;
    using references = bug_references<Bug, Trackers>;

    bug_world() = default;
    ~bug_world() override { free_ring(refs.cursor); }

    // A copy of every bug, in the same ring order, with the references on
    // the copies and the index built anew (it answers by ring order alone).
    // Throws std::bad_alloc when the memory cannot be had.
    bug_world(const bug_world &other) : world_base(other)
    {
        std::unordered_map<const Bug *, Bug *> twin;
        try {
            for_each_bug(other.refs.cursor, [&](const Bug *b) {
                Bug *copy = static_cast<Bug *>(std::malloc(sizeof(Bug)));
                if (copy == nullptr)
                    throw std::bad_alloc();
                std::memcpy(static_cast<void *>(copy), b, sizeof(Bug));
                append_bug(refs.cursor, copy);
                twin.emplace(b, copy);
            });
            if (!index.build(map.cols(), refs.cursor))
                throw std::bad_alloc();
        } catch (...) {
            free_ring(refs.cursor);
            throw;
        }
        refs = other.refs;
        refs.each([&](Bug *&p) { p = p == nullptr ? nullptr : twin.at(p); });
    }

    references refs;
    bug_index<Bug> index;   // the bugs by the cell they stand on

    void number_founders() override
    {
        next_id = 1;
        for_each_bug(refs.cursor, [&](Bug *b) { b->id = next_id++; });
    }
    std::vector<int64_t> bug_ids() const override
    {
        std::vector<int64_t> ids;
        for_each_bug(refs.cursor, [&](const Bug *b) { ids.push_back(b->id); });
        return ids;
    }
    void each_bug_seen(const std::function<void(const bug_seen &)> &f) const override
    {
        for_each_bug(refs.cursor, [&](const Bug *b) { f(seen(b)); });
    }
    void give_ids(const std::vector<int64_t> &ids) override
    {
        size_t i = 0;
        for_each_bug(refs.cursor, [&](Bug *b) { b->id = ids[i++]; });
    }

    // The first bug in ring order from the cursor on (row, col); a cell
    // showing a bug that the ring does not hold ends the world: lost bug.
    Bug *findbug(int row, int col) const { return find_on_cell(index, refs.cursor, row, col); }
};

}  // namespace common

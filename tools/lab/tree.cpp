// terrarium-lab tree: the living bugs' ancestry as Newick.
#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "tools/lab/children.h"
#include "tools/lab/genealogy.h"

namespace lab {

namespace {

struct bug {
    long long parent = 0;  // 0: a founder, hanging from the root at pass 0
    long long pass = 0;    // born at
    int children = 0;      // in the map: each alive or an ancestor of one alive
    bool alive = true;
};
using bugs = std::unordered_map<long long, bug>;

// Drops a dead bug without children, and so on up its line: what is left
// is the living and their ancestors.
void prune(bugs *all, long long id)
{
    for (auto at = all->find(id); at != all->end() && !at->second.alive && at->second.children == 0;) {
        long long parent = at->second.parent;
        all->erase(at);
        at = all->find(parent);
        if (at != all->end())
            at->second.children--;
    }
}

// One row into the bugs. A pass's deaths are pruned once it is over, so
// that a bug may die and give birth in the same pass in either order.
bool add_event(lineage_reader &reader, const lineage_event &e, bugs *all, std::vector<long long> *dying)
{
    auto at = all->find(e.id);
    if (e.kind == 'd') {
        if (at == all->end() || !at->second.alive)
            return reader.fail("bug " + std::to_string(e.id) + " dies but is not alive");
        at->second.alive = false;
        dying->push_back(e.id);
        return true;
    }
    if (at != all->end())
        return reader.fail("bug " + std::to_string(e.id) + " is born twice");
    auto parent = all->find(e.parent);
    if (e.kind == 'b' && parent == all->end())
        return reader.fail("bug " + std::to_string(e.id) + "'s parent " + std::to_string(e.parent) +
                           " is not alive before it");
    if (e.kind == 'b')
        parent->second.children++;
    (*all)[e.id] = bug{e.parent, e.pass, 0, true};
    return true;
}

bool read_bugs(lineage_reader &reader, bugs *all)
{
    if (!reader.open())
        return false;
    std::vector<long long> dying;
    lineage_event e;
    long long pass = 0;
    while (reader.next(&e)) {
        if (e.pass != pass) {
            for (long long id : dying)
                prune(all, id);
            dying.clear();
            pass = e.pass;
        }
        if (!add_event(reader, e, all, &dying))
            return false;
    }
    for (long long id : dying)
        prune(all, id);
    return reader.error().empty();
}

// A bug shown in the tree: alive, or where two lines part. A dead bug
// with one child is a link of a chain, folded into its child's branch.
bool shown(const bug &b) { return b.alive || b.children > 1; }

// Each shown bug under its nearest shown ancestor (0: the root), in id order.
std::unordered_map<long long, std::vector<long long>> shown_children(const bugs &all)
{
    std::unordered_map<long long, std::vector<long long>> below;
    for (const auto &[id, b] : all) {
        if (!shown(b))
            continue;
        long long up = b.parent;
        while (up != 0 && !shown(all.at(up)))
            up = all.at(up).parent;
        below[up].push_back(id);
    }
    for (auto &[id, list] : below)
        std::sort(list.begin(), list.end());
    return below;
}

// The subtree of `top`, its branch from the pass `from`. A living bug with
// descendants is a node whose first child is itself, a leaf at length 0.
// Without recursion: a line of descent can be as long as the run.
void write_subtree(const bugs &all, const std::unordered_map<long long, std::vector<long long>> &below,
                   long long top, long long from)
{
    static const std::vector<long long> none;
    struct frame {
        long long id, from;
        size_t next;
    };
    std::vector<frame> stack{{top, from, 0}};
    while (!stack.empty()) {
        frame &f = stack.back();
        const bug &b = all.at(f.id);
        auto found = below.find(f.id);
        const std::vector<long long> &kids = found == below.end() ? none : found->second;
        if (f.next < kids.size()) {
            if (f.next > 0)
                std::putchar(',');
            else if (b.alive)
                std::printf("(%lld:0,", f.id);
            else
                std::putchar('(');
            long long child = kids[f.next++];
            stack.push_back({child, b.pass, 0});
            continue;
        }
        if (kids.empty())
            std::printf("%lld:%lld", f.id, b.pass - f.from);
        else
            std::printf("):%lld", b.pass - f.from);
        stack.pop_back();
    }
}

}  // namespace

int tree(const std::string &path)
{
    lineage_reader reader(path);
    bugs all;
    if (!read_bugs(reader, &all)) {
        complain(reader.error());
        return 1;
    }
    long long living = std::count_if(all.begin(), all.end(), [](const auto &entry) { return entry.second.alive; });
    if (living == 0) {
        complain(path + ": no bug alive at its end");
        return 1;
    }
    auto below = shown_children(all);
    const std::vector<long long> &founders = below[0];
    for (size_t i = 0; founders.size() > 1 && i < founders.size(); i++) {
        std::putchar(i == 0 ? '(' : ',');
        write_subtree(all, below, founders[i], 0);
    }
    if (founders.size() == 1)
        write_subtree(all, below, founders[0], 0);
    std::fputs(founders.size() > 1 ? ");\n" : ";\n", stdout);
    std::fprintf(stderr, "most recent common ancestor of the %lld bugs alive: ", living);
    if (founders.size() > 1)
        std::fprintf(stderr, "none but the root, at pass 0\n");
    else
        std::fprintf(stderr, "bug %lld, born at pass %lld\n", founders[0], all.at(founders[0]).pass);
    return 0;
}

}  // namespace lab

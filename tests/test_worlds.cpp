// Whole runs of both programs. Fixed seeds must keep giving the worlds
// recorded before any optimisation (digests, and readable dumps of tiny
// worlds); long runs must leave a consistent world after every pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <unistd.h>
#include <zstd.h>

#include "screen/autosave.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"
#include "terrarium/stat.h"
#include "common/usage.h"
#include "tests/support/world.h"
#include "tools/programs.h"
#include "storage/lineage.h"
#include "storage/run_log.h"

namespace {

struct run {
    const char *program;
    unsigned seed;
    int lines, cols;
    long passes;
    std::vector<const char *> options;
};

std::string name_of(const run &r)
{
    std::string name = std::string(r.program) + " seed " + std::to_string(r.seed);
    for (const char *o : r.options)
        name += std::string(" ") + o;
    return name + " passes " + std::to_string(r.passes);
}

// A run's world, not started yet, and its rules.
struct made {
    std::unique_ptr<common::world_base> world;
    const common::rules *rules;
};

made unstarted(const run &r)
{
    std::vector<const char *> argv{"terrarium"};
    argv.insert(argv.end(), r.options.begin(), r.options.end());
    terrarium::options chosen;
    const char *message = nullptr;
    EXPECT_EQ(terrarium::parse_options(static_cast<int>(argv.size()), argv.data(), &chosen, &message), 0);
    const common::rules *rules = tools::program_named(r.program);  // a world of its own, made by its rules
    if (rules == &terrarium_side::rules)
        return {std::make_unique<terrarium::world>(chosen), rules};
    return {rules->new_world(), rules};
}

std::string file_text(const std::string &path)
{
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// What `print` writes, through a file of this process's own (the tests run
// side by side), and what it returns.
std::pair<int, std::string> text_of(const std::function<int(std::FILE *)> &print)
{
    std::FILE *out = std::tmpfile();
    int status = print(out);
    std::string text(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    text.resize(std::fread(&text[0], 1, text.size(), out));
    std::fclose(out);
    return {status, text};
}

// The status of a headless run, and its dump as simdump prints it; with a
// path, its log written there.
std::pair<int, std::string> dump_of(const run &r, const std::string &log_path = "")
{
    made m = unstarted(r);
    const common::rules &rules = *m.rules;
    common::run_log log;
    EXPECT_TRUE(log_path.empty() || log.open(log_path.c_str(), {r.program, "", false, {}}, r.seed)) << log_path;
    common::lineage genealogy;  // with a log, watched by a genealogy too, which changes nothing of the run
    if (!log_path.empty() && genealogy.open((log_path + ".lineage.zst").c_str(), {r.program, "", false, {}}, r.seed))
        genealogy.watch(*m.world);
    auto ran = text_of([&](std::FILE *f) {
        return run_headless(*m.world, rules, r.seed, r.lines, r.cols, r.passes, f, {}, log_path.empty() ? nullptr : &log);
    });
    EXPECT_EQ(genealogy.finish(), 0);
    return ran;
}

std::uint64_t fnv1a(const std::string &text)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ULL;
    return hash;
}

// What is wrong with the world after a pass, or "": the ring is one
// consistent circle holding every bug pointer; every bug stands on the
// map; every letter on the map is the race of a bug standing there; no
// '!' is left; the copy of the map that reads use is the pad; the index
// finds, from two cursors, the bug a ring walk finds; vivarium's count is
// the ring's size.
template <class S>
std::string world_fault()
{
    using bug = typename S::bug;
    const auto &w = S::w();
    const common::world_map &map = w.map;
    bug *start = S::cursor();
    const long cols = map.cols(), cells = map.rows() * cols;
    std::unordered_set<const bug *> ring;
    std::vector<uint64_t> races(static_cast<size_t>(cells));  // by cell: a bit for each race on it
    const bug *b = start;
    do {
        if (b->next->prev != b || b->prev->next != b)
            return "a next/prev mismatch";
        if (!map.on_map(b->y, b->x))
            return "a bug off the map";
        if (!ring.insert(b).second || static_cast<long>(ring.size()) > 2 * cells)
            return "the walk does not come back to its start";
        races[b->y * cols + b->x] |= uint64_t{1} << (b->race & 63);
        b = b->next;
    } while (b != start);
    for (bug **p : S::pointers())
        if (ring.count(*p) == 0)
            return "a bug pointer off the ring";
    std::vector<chtype> pad(static_cast<size_t>(cols) + 1);
    common::session &shown = S::session();
    shown.view.catch_up();
    for (int row = 0; row < map.rows(); row++) {
        mvwinchnstr(shown.view.pad(), row, 0, pad.data(), static_cast<int>(cols));
        for (int col = 0; col < cols; col++) {
            const char glyph = map.read(row, col);
            const bool bugless = glyph >= 'A' && glyph <= 'Z' && !(races[row * cols + col] >> (glyph & 63) & 1);
            const char *fault = glyph != static_cast<char>(pad[col] & A_CHARTEXT) ? "the copy differs from the pad"
                                : glyph == '!' ? "a '!' left" : bugless ? "a letter without its bug" : nullptr;
            if (fault != nullptr)
                return fault + (" at " + std::to_string(row) + "," + std::to_string(col) + ": ") + glyph;
        }
    }
    for (const bug *cursor : {start, start->next->next}) {
        std::unordered_map<long, const bug *> first_seen;
        b = cursor;
        do {
            first_seen.emplace(b->y * cols + b->x, b);
            b = b->next;
        } while (b != cursor);
        for (const auto &[cell, seen] : first_seen)
            if (w.index.first_from(cursor, static_cast<int>(cell / cols), static_cast<int>(cell % cols)) != seen)
                return "the index and the ring walk differ";
    }
    if constexpr (!is_terrarium<S>)
        if (static_cast<long>(ring.size()) != w.population)
        return "the population is not the ring's size";
    return "";
}

// Runs a seeded world for 20000 passes, or to its end, checking it after
// every pass.
template <class S>
void soak(unsigned seed, int lines, int cols, float size)
{
    SCOPED_TRACE(std::string(S::name) + " seed " + std::to_string(seed) + " on " + std::to_string(lines) + " x " +
                 std::to_string(cols));
    S::seeded(seed, lines, cols, size);
    long pass = 1;
    for (; pass <= 20000 && common::run_passes(S::w(), S::rules, 1) == common::outcome::running; pass++)
        ASSERT_EQ(world_fault<S>(), "") << "after pass " << pass;
    // The one end of a run without keys: a death that leaves one bug.
    const common::world_base &w = S::w();
    EXPECT_TRUE(w.outcome == common::outcome::running ||
                (w.outcome == common::outcome::one_bug_left && S::cursor()->next == S::cursor()))
        << "pass " << pass << ": " << w.outcome_message;
}

// Fixed-seed runs: their status, the digest of their dump, and for some
// the dump as a file in tests/golden.
struct row {
    run r;
    int status;
    std::uint64_t digest;  // 0: refused: no row logged, nothing dumped or the refused terrain
    const char *golden = nullptr;
};
const row recorded[] = {
    {{"terrarium", 1, 24, 80, 0, {}}, 0, 0xb5854f7b3d08afd1ULL},
    {{"terrarium", 1, 24, 80, 300, {}}, 0, 0x329c304716a7c556ULL},
    {{"terrarium", 2, 24, 80, 1000, {}}, 0, 0xa2d5c4b12e32f909ULL},
    {{"terrarium", 3, 40, 120, 500, {"-r", "300", "-g", "6"}}, 0, 0x91b428d30bee98f4ULL},
    {{"terrarium", 4, 24, 80, 2000, {"-s", "0.7"}}, 0, 0x7aff5208b97bb6e7ULL},
    {{"terrarium", 5, 24, 80, 200, {"-s", "0.25"}}, 0, 0x188dac052e99155ULL},
    {{"terrarium", 6, 10, 20, 20000, {"-s", "1"}}, 0, 0xc26662ca8622b208ULL},
    {{"terrarium", 7, 60, 200, 60, {"-s", "3"}}, 0, 0x483e84a708b57d67ULL},
    {{"vivarium", 1, 24, 80, 100, {}}, 0, 0x569e06cfbc2af29fULL},
    {{"vivarium", 2, 24, 80, 300, {}}, 0, 0x536a52bc32c39aeaULL},
    {{"vivarium", 3, 10, 20, 3000, {}}, 0, 0x711f08287b5f0ffdULL},
    {{"vivarium", 4, 30, 100, 200, {}}, 0, 0x593421fdab39dbf8ULL},
    {{"terrarium", 6, 10, 20, 300, {"-s", "1"}}, 0, 0xc26662ca8622b208ULL, "terrarium_20x10_seed6_300.txt"},
    {{"vivarium", 5, 1, 2, 200, {}}, 0, 0x519bf09c1b7fb34dULL, "vivarium_2x1_seed5_200.txt"},
    {{"terrarium", 1, 2000, 2000, 1, {"-s", "30"}}, 9, 0},  // a pad beyond what curses holds
    {{"vivarium", 1, 24, 3300, 1, {}}, 9, 0},
    {{"terrarium", 1, 10, 20, 1, {"-s", "0.25"}}, 8, 0},  // a world under 100 cells
    {{"terrarium", 9, 24, 80, 20, {"-r", "1000", "-g", "8"}}, 7, 0},  // too little open ground
};

}  // namespace

TEST(Worlds, FixedSeedsGiveTheRecordedWorlds)
{
    const std::string path = testing::TempDir() + std::to_string(getpid()) + "-seeded.csv";
    for (const row &r : recorded) {
        const auto [status, text] = dump_of(r.r, path);
        EXPECT_EQ(status, r.status) << name_of(r.r);
        EXPECT_TRUE(r.golden == nullptr || text == file_text(std::string(GOLDEN_DIR) + "/" + r.golden)) << r.golden;
        const std::string log = file_text(path), end = "# end: status " + std::to_string(r.status) + "\n";
        EXPECT_EQ(log.substr(log.find("other\n") + 6, 2) + log.substr(log.rfind('#')), (r.digest ? "0," : "# ") + end)
            << name_of(r.r);
        EXPECT_EQ(r.digest ? fnv1a(text) : 0, r.digest) << name_of(r.r) << std::hex << ": digest 0x" << fnv1a(text);
        EXPECT_TRUE(r.digest != 0 || (r.status == 7 ? text.rfind("stopped\n") + 8 == text.size() : text.empty()))
            << name_of(r.r) << ": what was dumped";
    }
}

TEST(Worlds, WorldsSideBySideInOneProcessRunAsTheyRunAlone)
{
    // A few passes each in turn, each world with its own log: terrarium,
    // vivarium and a world whose last but one bug dies in pass 250; then
    // with two terrarium seeds.
    const std::string path = testing::TempDir() + std::to_string(getpid()) + "-side";
    const row *ending = &recorded[12];
    for (const auto &trio : {std::array{&recorded[2], &recorded[9], ending}, {&recorded[2], &recorded[3], ending}}) {
        made worlds[] = {unstarted(trio[0]->r), unstarted(trio[1]->r), unstarted(trio[2]->r)};
        common::run_log logs[3];
        common::headless_hooks();
        std::string reported[3];  // the first outcome but running that run_passes returned, and when
        for (int i = 0; i < 3; i++) {
            ASSERT_TRUE(logs[i].open((path + std::to_string(i)).c_str(), {trio[i]->r.program, "", false, {}},
                                     trio[i]->r.seed));
            logs[i].watch(*worlds[i].world);
            common::start_seeded(*worlds[i].world, *worlds[i].rules, trio[i]->r.seed, trio[i]->r.lines,
                                 trio[i]->r.cols);
            logs[i].census_from(worlds[i].rules->census);
        }
        for (long pass = 0; pass < trio[0]->r.passes; pass += 7)
            for (int i = 0; i < 3; i++) {
                long passes = std::min(7L, trio[i]->r.passes - pass);
                common::outcome o = common::run_passes(*worlds[i].world, *worlds[i].rules, std::max(0L, passes));
                if (o != common::outcome::running && reported[i].empty())
                    reported[i] = std::to_string(static_cast<int>(o)) + " by pass " + std::to_string(pass + passes) +
                                  ": " + worlds[i].world->outcome_message;
            }
        // As simdump shows them: a world that ended says "stopped" after its
        // dump; and each log as the world's log alone.
        for (int i = 0; i < 3; i++) {
            const common::world_base &w = *worlds[i].world;
            auto shown = [&](std::FILE *o) {
                worlds[i].rules->dump(o, w);
                return std::fputs(w.outcome == common::outcome::running ? "" : "stopped\n", o);
            };
            EXPECT_EQ(fnv1a(text_of(shown).second), trio[i]->digest) << name_of(trio[i]->r);
            EXPECT_EQ(logs[i].finish(common::exit_status(w.outcome), false), 0);
            dump_of(trio[i]->r, path + "-alone");
            EXPECT_TRUE(file_text(path + std::to_string(i)) == file_text(path + "-alone"))
                << name_of(trio[i]->r) << ": its log differs from its log alone";
        }
        EXPECT_EQ(reported[0] + reported[1], "");
        EXPECT_EQ(reported[2], std::to_string(static_cast<int>(common::outcome::one_bug_left)) +
                                   " by pass 252: terrarium: one bug left after 250 passes\n");
    }
}

// Counts what a world's observers are told.
struct tally : common::observer {
    long boundaries = 0, births = 0, deaths = 0;
    void at_pass_boundary(const common::world_base &) override { boundaries++; }
    void born(const common::world_base &, const common::bug_seen &child, const common::bug_seen &parent,
              const common::bug_seen *) override
    {
        births += child.race == parent.race && child.record != parent.record;
    }
    void died(const common::world_base &, const common::bug_seen &, common::death_cause,
              const common::bug_seen *) override
    {
        deaths++;
    }
};

TEST(Worlds, ACopyRunsOnAsTheOriginalWould)
{
    for (const row *r : {&recorded[2], &recorded[9]}) {
        made m = unstarted(r->r);
        tally told;  // the original's observer: every boundary, birth and death, and none of the copy's
        m.world->observers.add(&told);
        common::start_seeded(*m.world, *m.rules, r->r.seed, r->r.lines, r->r.cols);
        const long seeded = m.rules->population(*m.world);
        common::run_passes(*m.world, *m.rules, r->r.passes / 3);
        EXPECT_EQ(told.boundaries, r->r.passes / 3);
        EXPECT_EQ(seeded + told.births - told.deaths, m.rules->population(*m.world)) << told.births;
        std::unique_ptr<common::world_base> copy = m.world->clone();
        EXPECT_FALSE(copy->observers.any());
        m.world.reset();
        common::run_passes(*copy, *m.rules, r->r.passes - r->r.passes / 3);
        EXPECT_EQ(fnv1a(text_of([&](std::FILE *f) { return m.rules->dump(f, *copy), 0; }).second), r->digest)
            << name_of(r->r);
    }
}

TEST(Worlds, EveryPassOfTwentyThousandLeavesAConsistentWorld)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        soak<terrarium_side>(seed, 10, 20, 1.0f);  // 20 x 10 cells, 2 bugs
        soak<terrarium_side>(seed, 24, 80, 2.0f);
        soak<vivarium_side>(seed, 2, 3, 2.0f);  // 33 x 25 cells
        soak<vivarium_side>(seed, 3, 4, 2.0f);
    }
}

TEST(RunLog, AHandMadeWorldRowByRowAsWorkedOut)
{
    // Sizes 10, 10, 10, 13 (43 / 4: 10), food 1000 but one 3000 (1500), ages 0 but one 7 (1).
    terrarium_side::blank(10, 20);
    terrarium_side::add(1, 1, 'A'), terrarium_side::add(2, 2, 'A')->food = 3000;
    terrarium_side::add(3, 3, 'C')->age = 7, terrarium_side::add(4, 4, '$')->size = 13;
    const std::string path = testing::TempDir() + std::to_string(getpid()) + "-hand.csv";
    common::run_log log;
    ASSERT_TRUE(log.open(path.c_str(), terrarium::describe(terrarium_side::w()), 5));
    log.watch(terrarium_side::w());
    log.census_from(terrarium::world_rules.census);
    common::pass_boundary(terrarium_side::w(), terrarium_side::rules);
    terrarium_side::cursor()->prev->race = 'Z';  // '$', as the gene editor may, within pass 1: a last row
    EXPECT_EQ(log.finish(0, false), 0);
    EXPECT_EQ(file_text(path),
              "# program: terrarium\n# version: " + std::string(common::program_version()) +
                  "\n# seed: 5\n# screen: 24 x 80 (lines x cols)\n"
              "# world: 10 x 20 (rows x cols)\n# options: -s 2 -r 150 -g 4\npass,population,races,food,age,gen,size,"
              "vision,A,B,C,D,E,F,G,H,I,J,K,L,M,N,O,P,Q,R,S,T,U,V,W,X,Y,Z,other\n"
              "0,4,3,1500,1,1,10,5,2,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\n"
              "1,4,3,1500,1,1,10,5,2,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0\n# end: status 0\n");
    // Thinned to every 3rd pass, passes 1 to 5 and an end on the boundary: the first, 3, and the last.
    ASSERT_TRUE(log.open(path.c_str(), terrarium::describe(terrarium_side::w()), 5));
    log.thin_to(3), log.watch(terrarium_side::w()), log.census_from(terrarium::world_rules.census);
    for (int pass = 1; pass <= 5; pass++)
        common::pass_boundary(terrarium_side::w(), terrarium_side::rules);
    EXPECT_EQ(log.finish(0, false), 0);
    std::istringstream rows(file_text(path));
    std::string passes;
    for (std::string row; std::getline(rows, row);)
        passes += std::isdigit(static_cast<unsigned char>(row[0])) ? row.substr(0, row.find(',')) + " " : "";
    EXPECT_EQ(passes, "1 3 5 ");
}

TEST(Saves, SettingsFromTheEnvironment)
{
    const char *bad = "terrarium: TERRARIUM_SAVE_EVERY must be a positive number of seconds";
    // TERRARIUM_SAVE and TERRARIUM_SAVE_EVERY (null: unset): "path seconds", or the refusal.
    const struct { const char *path, *every, *want; } rows[] = {
        {nullptr, nullptr, " 300"}, {"w", "0.5", "w 0.5"}, {"w", ".25", "w 0.25"}, {nullptr, "7", " 7"},
        {"w", "0", bad}, {"w", "-1", bad}, {"w", "1e3", bad}, {"w", "", bad}, {"w", "1.2.", bad}, {"w", " 1", bad},
        {"w", "inf", bad}, {"w", ".", bad}, {"", nullptr, "terrarium: TERRARIUM_SAVE must name a file"},
    };
    for (const auto &row : rows) {
        for (auto [name, value] : {std::pair{"TERRARIUM_SAVE", row.path}, {"TERRARIUM_SAVE_EVERY", row.every}})
            value ? setenv(name, value, 1) : unsetenv(name);
        common::save_settings got;
        std::string why;
        bool read = common::read_save_settings("terrarium", &got, &why);
        EXPECT_EQ(read ? common::text_of("%s %g", got.path.c_str(), got.every) : why, row.want) << row.every;
    }
    unsetenv("TERRARIUM_SAVE"), unsetenv("TERRARIUM_SAVE_EVERY");
}

TEST(Saves, InTheBackgroundAndToNewFiles)
{
    namespace fs = std::filesystem;
    const fs::path dir = testing::TempDir() + std::to_string(getpid()) + "-saves", here = fs::current_path();
    fs::create_directories(dir);
    fs::current_path(dir);
    for_both([&](auto side) {
        using S = decltype(side);
        S::seeded(3);
        common::run_passes(S::w(), S::rules, 30);
        const std::string name = S::name, taken = name + "-30-2.world";
        auto dump = [](const common::world_base &w) {
            return text_of([&](std::FILE *f) { return S::rules.dump(f, w), 0; }).second;
        };
        // New files named by the pass, never one that is there, nor made
        // over a file that came to its name meanwhile.
        std::string first, second, why;
        std::ofstream(taken) << "kept";
        common::background_save save;
        common::run_state run{64, true, true}, back;
        ASSERT_TRUE(common::free_file_name(S::name, 30, &first, &why));
        ASSERT_TRUE(common::start_background_save(&save, first, S::w(), S::rules, run, &why, false));
        EXPECT_EQ(common::collect_background_save(&save, true, &why), common::save_outcome::saved) << why;
        ASSERT_TRUE(common::free_file_name(S::name, 30, &second, &why));
        EXPECT_FALSE(common::start_background_save(&save, taken, S::w(), S::rules, run, &why, false));
        EXPECT_EQ(first + " " + second + " " + file_text(taken) + " " + why,
                  name + "-30.world " + name + "-30-3.world kept cannot save '" + taken + "': File exists");
        // Written by a child, read back the same, with how it ran; a child
        // that dies leaves nothing of its own; a directory gone: refused, said.
        typename S::world again;
        ASSERT_EQ(common::load_world(first, again, S::rules, &back, &why), 0) << why;
        EXPECT_TRUE(dump(again) == dump(S::w()) && back.speed == 64 && back.paused && back.turn_pending);
        ASSERT_TRUE(common::start_background_save(&save, second, S::w(), S::rules, run, &why));
        kill(save.child, SIGKILL);
        EXPECT_EQ(common::collect_background_save(&save, true, &why), common::save_outcome::failed);
        EXPECT_NE(why.find("died of signal 9"), std::string::npos) << why;
        for (const auto &entry : fs::directory_iterator(dir))
            EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
        EXPECT_FALSE(common::start_background_save(&save, "gone/w.world", S::w(), S::rules, run, &why));
        EXPECT_NE(why.find("'gone/w.world': No such file"), std::string::npos) << why;
    });
    fs::current_path(here);
    fs::remove_all(dir);
}

namespace {

// Saved after `r.passes` (a turn pending: after the boundary work of the
// last) and read into a new world, a world runs on as the one saved does.
struct resumed_run {
    run r;
    long more;               // passes after the save
    int select;              // key '1' + select before the save, or -1
    common::run_state state; // as saved
    const char *v1 = nullptr;  // else the world is read from this file of format version 1, saved after r.passes
};
const resumed_run resumed_runs[] = {
    {{"terrarium", 1, 10, 20, 25, {"-s", "1"}}, 40, -1, {}},  // after an ageing pass
    {{"terrarium", 3, 40, 120, 30, {"-r", "300", "-g", "6"}}, 30, 2, {5000, true, false}},
    {{"terrarium", 4, 24, 80, 50, {"-s", "0.7"}}, 50, -1, {1, false, true}},
    {{"terrarium", 7, 60, 200, 10, {"-s", "3"}}, 10, 0, {}},
    {{"vivarium", 2, 24, 80, 100, {}}, 50, 1, {1, true, false}},
    {{"vivarium", 3, 10, 20, 75, {}}, 100, -1, {1, false, true}},
    {{"vivarium", 4, 60, 200, 5, {}}, 5, 3, {}},
    {{"vivarium", 5, 30, 100, 0, {}}, 20, -1, {}},
    {{"terrarium", 5, 12, 30, 40, {"-s", "1"}}, 60, -1, {}, "terrarium_v1_seed5_pass40.world"},
    {{"vivarium", 2, 4, 6, 30, {}}, 30, -1, {}, "vivarium_v1_seed2_pass30.world"},
};

// The selection of either program's world, and what chose it.
template <class F>
auto on_refs(common::world_base &w, const char *program, F f)
{
    return std::string(program) == "terrarium" ? f(static_cast<terrarium::world &>(w).refs)
                                            : f(static_cast<vivarium::world &>(w).refs);
}

std::string dump_text(const made &m)
{
    return text_of([&](std::FILE *f) { return m.rules->dump(f, *m.world), 0; }).second;
}

// The bytes of a world run as `r` says, saved at its end.
std::string saved_bytes(const run &r, const std::string &path)
{
    made m = unstarted(r);
    common::start_seeded(*m.world, *m.rules, r.seed, r.lines, r.cols);
    common::run_passes(*m.world, *m.rules, r.passes);
    std::string why;
    EXPECT_TRUE(common::save_world(path, *m.world, *m.rules, {}, &why)) << why;
    return file_text(path);
}

uint64_t get_le(const std::string &s, size_t at, int n)
{
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; i--)
        v = v << 8 | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    return v;
}

void put_le(std::string &s, size_t at, uint64_t v, int n)
{
    for (int i = 0; i < n; i++)
        s[at + static_cast<size_t>(i)] = static_cast<char>(v >> 8 * i);
}

// The header's CRC-32 (the zlib polynomial, bit by bit) made right again.
std::string with_crc(std::string bytes)
{
    uint32_t crc = ~0u;
    for (size_t i = 0; i < 68; i++) {
        crc ^= static_cast<unsigned char>(bytes[i]);
        for (int bit = 0; bit < 8; bit++)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    put_le(bytes, 68, ~crc, 4);
    return bytes;
}

// A world file whose world `edit` changes, compressed anew as one frame
// with its checksum, its header made to agree: the fields of its section
// `section` (the world's, 0, or the session's, 1), that section's length
// made to agree; with section -1, the world whole.
std::string reworked(const std::string &file, const std::function<void(std::string &)> &edit, int section = 0)
{
    std::string world(get_le(file, 60, 8), '\0');
    EXPECT_EQ(ZSTD_decompress(world.data(), world.size(), file.data() + 72, file.size() - 72), world.size());
    size_t at = 0;
    for (int i = 0; i < section; i++)
        at += 16 + get_le(world, at + 8, 8);
    std::string fields = section < 0 ? world : world.substr(at + 16, get_le(world, at + 8, 8));
    edit(fields);
    if (section >= 0)
        world.replace(at + 16, get_le(world, at + 8, 8), fields), put_le(world, at + 8, fields.size(), 8);
    else
        world = fields;
    std::string body(ZSTD_compressBound(world.size()), '\0');
    ZSTD_CCtx *z = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter(z, ZSTD_c_checksumFlag, 1);
    body.resize(ZSTD_compress2(z, body.data(), body.size(), world.data(), world.size()));
    ZSTD_freeCCtx(z);
    std::string out = file.substr(0, 72) + body;
    put_le(out, 52, body.size(), 8);
    put_le(out, 60, world.size(), 8);
    return with_crc(out);
}

}  // namespace

TEST(WorldFiles, AWorldReadBackRunsOnAsTheWorldSaved)
{
    const std::string path = testing::TempDir() + std::to_string(getpid()) + "-resumed.world";
    common::headless_hooks();
    for (const resumed_run &c : resumed_runs) {
        SCOPED_TRACE(name_of(c.r));
        made saved = unstarted(c.r), read = unstarted({c.r.program, 0, 0, 0, 0, {}});  // options from the file
        const common::rules &r = *saved.rules;
        common::start_seeded(*saved.world, r, c.r.seed, c.r.lines, c.r.cols);
        common::run_passes(*saved.world, r, c.r.passes - c.state.turn_pending);
        if (c.state.turn_pending)
            common::pass_boundary(*saved.world, r);
        if (c.select >= 0)
            on_refs(*saved.world, c.r.program, [&](auto &refs) { return refs.select(c.select), 0; });
        std::string why, file = c.v1 ? std::string(GOLDEN_DIR) + "/" + c.v1 : path;
        ASSERT_TRUE(c.v1 || common::save_world(path, *saved.world, r, c.state, &why)) << why;
        common::run_state state;
        ASSERT_EQ(common::load_world(file, *read.world, r, &state, &why), 0) << why;
        EXPECT_EQ(std::tie(state.speed, state.paused, state.turn_pending),
                  std::tie(c.state.speed, c.state.paused, c.state.turn_pending));
        EXPECT_EQ(r.describe(*read.world).options, r.describe(*saved.world).options);
        for (made *m : {&saved, &read}) {
            if (c.state.turn_pending)
                common::take_turn(*m->world, r);
            common::run_passes(*m->world, r, c.more);
        }
        EXPECT_EQ(dump_text(read), dump_text(saved));
        auto chosen_by = [](auto &refs) { return refs.chosen_by; };
        EXPECT_EQ(on_refs(*read.world, c.r.program, chosen_by), on_refs(*saved.world, c.r.program, chosen_by));
    }
    // Headless, as simdump saves: the cell drawn for the selected bug is kept; resumed and saved at once,
    // the same file.
    terrarium::world w, read;
    std::FILE *out = std::fopen("/dev/null", "w");
    ASSERT_EQ(common::run_headless(w, terrarium::world_rules, 4, 24, 80, 20, out, {20, path}), 0);
    common::run_state state;
    std::string why;
    ASSERT_EQ(common::load_world(path, read, terrarium::world_rules, &state, &why), 0) << why;
    const terrarium::bug *b = w.refs.selected;
    EXPECT_EQ(std::vector<size_t>(state.selected.begin(), state.selected.end()),
              std::vector<size_t>({static_cast<size_t>(b->y * w.map.cols() + b->x)}));
    EXPECT_EQ(common::resume_headless(read, terrarium::world_rules, state, 0, out, {0, path + "-again"}), 0);
    EXPECT_TRUE(file_text(path + "-again") == file_text(path)) << "resumed and saved at once: another file";
    std::fclose(out);
}

// The decompressor may give as little as a byte at a time (at the end of a
// chunk of the file): fields that straddle such pieces still read whole.
TEST(WorldFiles, FieldsReadWholeFromASourceThatGivesOneByteAtATime)
{
    std::string bytes;
    common::field_writer out([](void *to, const char *p, size_t n) { static_cast<std::string *>(to)->append(p, n); },
                             &bytes);
    out.u8(7), out.i32(-123456), out.i64(-9000000000LL), out.bytes("abc", 3), out.u32(4000000000u), out.finish();
    struct source { const std::string *bytes; size_t at; } from{&bytes, 0};
    common::field_reader in([](void *f, char *to, size_t n) -> size_t {
        auto &s = *static_cast<source *>(f);
        if (n == 0 || s.at == s.bytes->size())
            return 0;
        *to = (*s.bytes)[s.at++];
        return 1;
    }, &from);
    unsigned small = in.u8();
    int middle = in.i32();
    long long large = in.i64();
    char text[3];
    in.bytes(text, 3);
    uint32_t last = in.u32();
    ASSERT_TRUE(in.ok());
    EXPECT_EQ(std::tie(small, middle, large, last), std::make_tuple(7u, -123456, -9000000000LL, 4000000000u));
    EXPECT_EQ(std::string(text, 3), "abc");
    in.i32();
    EXPECT_FALSE(in.ok()) << "past the end";
}

TEST(WorldFiles, ACrowdedWorldReadsBackAndOnlyWhatReadsBackIsWritten)
{
    const std::string path = testing::TempDir() + std::to_string(getpid()) + "-crowded.world";
    for_both([&](auto side) {
        using S = decltype(side);
        // Bugs that never starve breed past one bug per cell.
        S::blank(8, 8);
        for (int i = 0; i < 64; i += 5)
            S::add(i / 8, i % 8, 'a', i % 4)->food = 1000000000;
        while (static_cast<long>(S::rules.population(S::w())) <= 64)
            common::take_turn(S::w(), S::rules);
        if constexpr (is_terrarium<S>)
            S::cursor()->vision = -5000;  // as after 5,000 fights
        std::string why;
        ASSERT_TRUE(common::save_world(path, S::w(), S::rules, {}, &why)) << why;
        typename S::world read;
        common::run_state state;
        ASSERT_EQ(common::load_world(path, read, S::rules, &state, &why), 0) << why;
        for (common::world_base *w : std::array<common::world_base *, 2>{&read, &S::w()})
            for (int turn = 0; turn < 300; turn++)
                common::take_turn(*w, S::rules);
        auto dump = [](const common::world_base &w) {
            return text_of([&](std::FILE *f) { return S::rules.dump(f, w), 0; }).second;
        };
        EXPECT_EQ(dump(read), dump(S::w()));
        // What its reader would refuse is not written: the file stays.
        const std::string kept = file_text(path);
        S::cursor()->food = common::COUNTER_LIMIT + 1;
        S::w().passes = -1;
        for (const char *reason : {"a bug's field out of range", "a size in its header out of range"}) {
            EXPECT_FALSE(common::save_world(path, S::w(), S::rules, {}, &why));
            EXPECT_EQ(why, "cannot save '" + path + "': it would not read back (damaged: " + reason + ")");
            EXPECT_EQ(file_text(path), kept);
            S::cursor()->food = 1;
        }
    });
}

TEST(WorldFiles, ADamagedFileIsRefusedWithOneLineNamingIt)
{
    const std::string path = testing::TempDir() + std::to_string(getpid()) + "-damaged.world";
    const run runs[] = {{"terrarium", 1, 10, 20, 30, {"-s", "1"}}, {"vivarium", 3, 10, 20, 30, {}}};
    const std::string files[] = {saved_bytes(runs[0], path), saved_bytes(runs[1], path)};
    auto refused = [](const std::string &why, const std::string &name) {
        return why.rfind("'" + name + "': ", 0) == 0 && why.find('\n') == std::string::npos;
    };
    for (int k = 0; k < 2; k++) {
        const std::string &good = files[k];
        common::world_header h;
        std::string why;
        std::ofstream(path, std::ios::binary) << good;
        ASSERT_EQ(common::read_world_header(path, &h, &why), 0) << why;
        // The header at the offsets the format's description gives: magic, version, program, rows, cols,
        // passes, the body's bytes (terrarium -s 1 on 10x20 keeps the screen's size; vivarium's is 105x209),
        // and its checksum as zlib computes it.
        auto le = [&](size_t at, int n) { return get_le(good, at, n); };
        const std::string crc32 = "import sys, zlib; print(zlib.crc32(open(sys.argv[1], 'rb').read(68)))";
        std::FILE *zlib = popen(("python3 -c \"" + crc32 + "\" " + path).c_str(), "r");
        unsigned long crc = 0;
        EXPECT_EQ(zlib ? std::fscanf(zlib, "%lu", &crc) + pclose(zlib) : 0, 1);
        EXPECT_EQ(crc, le(68, 4));
        EXPECT_EQ(good.substr(0, 8) + std::to_string(le(8, 4)) + (good.c_str() + 12),
                  std::string("\x89WORLD\r\n2") + runs[k].program);
        EXPECT_EQ(std::vector<uint64_t>({le(28, 4), le(32, 4), le(36, 8), 72 + le(52, 8)}),
                  std::vector<uint64_t>({k ? 105u : 10u, k ? 209u : 20u, 30u, good.size()}));
        // Some refusals say exactly why; some files at the edges of the rules are read.
        const long long bugs = h.population, trackers = k ? 3 : 4, limit = 1LL << 62;
        const size_t ring = 161 + static_cast<size_t>(h.rows) * h.cols + (k ? 4 : 20);  // in the world's section
        auto put = [](size_t back, uint64_t v, int n) {  // n bytes `back` from the end
            return [=](std::string &w) { put_le(w, w.size() - back, v, n); };
        };
        auto words = [](uint32_t first, uint32_t rest) {  // the generator's
            return [=](std::string &w) {
                for (size_t i = 0; i < 31; i++)
                    put_le(w, 28 + 4 * i, i ? rest : first, 4);
            };
        };
        auto cells = [&](std::vector<uint64_t> list) {  // drawn for the selected bug
            return [=](std::string &w) {
                std::string field(8 * list.size() + 8, '\0');
                put_le(field, 0, list.size(), 8);
                for (size_t i = 0; i < list.size(); i++)
                    put_le(field, 8 + 8 * i, list[i], 8);
                w.replace(0, 8 + 8 * get_le(w, 0, 8), field);
            };
        };
        auto header = [&](std::string f, size_t at, uint64_t v) { return put_le(f, at, v, 8), with_crc(f); };
        auto session = [](const std::string &w) { return 16 + get_le(w, 8, 8); };  // where its section begins
        auto section = [](const char *tag, uint32_t flags) {  // of three bytes
            std::string s = tag + std::string(12, '\0') + "abc";
            return put_le(s, 4, flags, 4), put_le(s, 8, 3, 8), s;
        };
        auto whole = [&](const std::function<void(std::string &)> &edit) { return reworked(good, edit, -1); };
        auto at_pass = [&](uint64_t p) {
            return header(reworked(good, [&](std::string &w) { put_le(w, 8, p, 8), put_le(w, 16, p % 25, 4); }), 36, p);
        };
        auto count = [&](long long n) {  // of the ring, the header agreeing
            return header(reworked(good, [&](std::string &w) { put_le(w, ring, n, 8); }), 44, n);
        };
        const std::pair<std::string, std::string> reasons[] = {  // "": read
            {reworked(good, words(1, 0)), ""},
            {reworked(good, cells({0, 0u + h.rows * h.cols - 1}), 1), ""},
            {at_pass(limit), ""},
            {reworked(good, put(12, bugs - 1, 8)), ""},
            {reworked(good, put(4, trackers, 4)), ""},
            {count(bugs - 1), "damaged: a bug on the map that is not in the ring"},
            {count(bugs + 1), k ? "damaged: a section ends early" : "damaged: a bug's field out of range"},
            {reworked(good, words(0, 0)), "damaged: a random generator that no seed gives"},
            {reworked(good, words(2, ~1u)), "damaged: a random generator that no seed gives"},
            {reworked(good, cells({5, 5}), 1), "damaged: a cell drawn twice for the selected bug"},
            {reworked(good, cells({5, 6, 7}), 1), "damaged: too many cells drawn for the selected bug"},
            {at_pass(limit + 1), "damaged: a size in its header out of range"},
            {reworked(good, put(12, bugs, 8)), "damaged: a reference to no bug"},
            {reworked(good, put(4, trackers + 1, 4)), "damaged: no such tracker"},
            {reworked(good, put(8, 0, 8), 2), "damaged: a bug's id out of range or twice"},  // the last bug's id
            {reworked(good, put(8 * (bugs + 1), (uint64_t{1} << 62) + 1, 8), 2),  // the next id
             "damaged: a bug's id out of range or twice"},
            {reworked(good, [](std::string &w) { w.resize(w.size() - 8); }, 2),
             "damaged: ids that are not one for each bug"},
            {whole([&](std::string &w) { w.insert(0, section("XTRA", 0)); }), ""},
            {whole([&](std::string &w) { w.resize(session(w)); }), ""},
            {whole([&](std::string &w) { w += section("XTRA", 1); }),
             "a world file with a required section this program does not know ('XTRA')"},
            {whole([&](std::string &w) { w += section("XT\nA", 0); }), "damaged: a section's tag that is not letters or digits"},
            {whole([&](std::string &w) { put_le(w, 8, get_le(w, 8, 8) - 1, 8); }), "damaged: a section ends early"},
            {whole([&](std::string &w) { put_le(w, 8, get_le(w, 8, 8) + 1, 8); }),
             "damaged: a section's length differs from its fields"},
            {whole([&](std::string &w) { put_le(w, session(w) + 8, w.size() - session(w) - 15, 8); }),
             "damaged: a section longer than the world"},
            {whole([&](std::string &w) { w += w.substr(session(w)); }), "damaged: a section twice"},
            {whole([&](std::string &w) { w = w.substr(session(w)) + w.substr(0, session(w)); }),
             "damaged: a session before its world"},
            {whole([&](std::string &w) { w.resize(session(w)), w.replace(0, 8, section("XTRA", 0), 0, 8); }),
             "damaged: no world in it"},
            {header(good + good.substr(72), 52, 2 * (good.size() - 72)), "damaged: bytes after the world"},
            {header(good + "x", 52, good.size() - 71), "damaged: bytes after the world"},
            {reworked(good,
                      [&](std::string &w) {  // vivarium's population; terrarium's first attraction twice
                          size_t at = ring + 8;
                          if (k)
                              return put_le(w, at - 12, get_le(w, at - 12, 4) + 1, 4);
                          while (get_le(w, at + 58, 4) == 0)
                              at += 62;
                          put_le(w, at + 58, get_le(w, at + 58, 4) + 1, 4);
                          w.insert(at + 62, w.substr(at + 62, 5));
                      }),
             k ? "damaged: its population differs from its bugs" : "damaged: a bug's attractions out of order"},
            {"plain text, not a world", "not a world file"},
            {good.substr(0, 8) + '\3' + good.substr(9),
             "a world file of a newer format (version 3; this program reads version 2)"},
            {good.substr(0, 71), "truncated"},
            {good.substr(0, good.size() - 1), "truncated"},
            {good + '\0', "damaged: bytes after the world"},
            {files[1 - k], std::string("a ") + runs[1 - k].program + " world, not a " + runs[k].program + " one"},
        };
        for (const auto &[bytes, reason] : reasons) {
            made m = unstarted(runs[k]);
            common::run_state state;
            why.clear();
            EXPECT_EQ(common::load_world_bytes(bytes, "x.world", *m.world, *m.rules, &state, &why),
                      reason.empty() ? 0 : 13);
            EXPECT_EQ(why, reason.empty() ? "" : "'x.world': " + reason);
        }
        // Each header field wrong in turn (offset, value), its checksum made right, then damage anywhere.
        const std::pair<size_t, uint64_t> fields[] = {
            {0, 0}, {8, 0}, {8, common::WORLD_FORMAT_VERSION + 1}, {12, 'x'}, {28, 0u + h.rows + 1}, {28, 0},
            {28, ~0u}, {32, 0u + h.cols - 1}, {32, 32768}, {36, h.passes + 1}, {36, ~0ull}, {44, h.population + 1},
            {44, h.population - 1}, {44, 0}, {52, h.body_bytes - 1}, {52, h.body_bytes + 1}, {60, h.world_bytes + 1},
            {60, h.world_bytes - 1}, {60, ~0ull}};
        std::vector<std::string> damaged{files[1 - k], good + '\0'};
        for (const auto &[at, value] : fields) {
            std::string bytes = good;
            put_le(bytes, at, value, at == 8 || at == 28 || at == 32 ? 4 : 8);
            damaged.push_back(with_crc(bytes));
        }
        for (size_t at : {size_t{3}, size_t{40}, size_t{69}, size_t{72}, size_t{80}, good.size() / 2, good.size() - 1})
            damaged.push_back(good), damaged.back()[at] ^= 0x10;
        for (size_t length = 0; length < good.size(); length += length < 100 ? 1 : 7)
            damaged.push_back(good.substr(0, length));
        for (size_t i = 0; i < damaged.size(); i++) {
            made m = unstarted(runs[k]);
            common::run_state state;
            EXPECT_EQ(common::load_world_bytes(damaged[i], "x.world", *m.world, *m.rules, &state, &why), 13)
                << runs[k].program << " case " << i;
            EXPECT_TRUE(refused(why, "x.world")) << why;
        }
    }
    std::ofstream(path, std::ios::trunc);
    for (const std::string &name : {path + "-none", testing::TempDir(), path}) {  // none, a folder, empty
        made m = unstarted(runs[0]);
        common::run_state state;
        std::string why;
        EXPECT_EQ(common::load_world(name, *m.world, *m.rules, &state, &why), 13) << name;
        EXPECT_TRUE(refused(why, name)) << why;
    }
}

TEST(WorldFiles, AWorldThatTheRulesCouldNotRunIsRefused)
{
    const std::string path = testing::TempDir() + std::to_string(getpid()) + "-poked.world";
    using poke = void (*)(terrarium::world &);
    const poke pokes[] = {
        [](terrarium::world &w) { w.phase = (w.phase + 1) % 25; },
        [](terrarium::world &w) { w.screen_lines = 0; },
        [](terrarium::world &w) {  // a letter without its bug
            long cell = 0;
            while (w.map.row(0)[cell] != ' ')
                cell++;
            w.map.write(static_cast<int>(cell / w.map.cols()), static_cast<int>(cell % w.map.cols()), 'Q');
        },
        [](terrarium::world &w) { w.refs.cursor->facing = 4; },
        [](terrarium::world &w) { w.refs.cursor->next->x = w.map.cols(); },
        [](terrarium::world &w) { w.refs.cursor->y = -1; },
        [](terrarium::world &w) { w.refs.cursor->dna[7] = 99; },
        [](terrarium::world &w) { w.refs.cursor->race = '.'; },
    };
    for (size_t i = 0; i < std::size(pokes); i++) {
        terrarium::world w, read;
        common::start_seeded(w, terrarium::world_rules, 2, 24, 80);
        common::run_passes(w, terrarium::world_rules, 20);
        pokes[i](w);
        std::string why;
        ASSERT_TRUE(common::save_world(path, w, terrarium::world_rules, {}, &why)) << why;
        common::run_state state;
        EXPECT_EQ(common::load_world(path, read, terrarium::world_rules, &state, &why), 13) << "poke " << i;
    }
}

TEST(WorldFiles, ASaveFollowsNoLinkReplacesNoOtherThingAndLeavesNothingBehindWhereverItFails)
{
    namespace fs = std::filesystem;
    const fs::path dir = testing::TempDir() + std::to_string(getpid()) + "-targets";
    const std::string path = (dir / "w.world").string(), old_name = (dir / ".w.world.tmp-").string();
    const common::rules &r = terrarium::world_rules;
    terrarium::world w;
    common::start_seeded(w, r, 2, 24, 80);
    auto mode = [&] { struct stat st {}; return lstat(path.c_str(), &st), st.st_mode; };
    auto there = [&] {  // the directory's names, and the mode and text of w.world
        std::string names;
        for (const auto &entry : fs::directory_iterator(dir))
            names += entry.path().filename().string() + " ";
        return names + common::text_of("%o ", mode()) + (S_ISREG(mode()) ? file_text(path) : "");
    };
    // What is at the name, what comes there while the temporary file is written, a file size limit:
    // the line, and all as it was; the limit's signal held, then taken back.
    const struct { std::function<void()> at, meanwhile; bool replace; rlim_t limit; const char *why; } cases[] = {
        {[&] { mkfifo(path.c_str(), 0600); }, nullptr, true, RLIM_INFINITY, "not a regular file"},
        {[&] { fs::create_directory(path); }, nullptr, true, RLIM_INFINITY, "not a regular file"},
        {[&] { fs::create_symlink("old", path); }, nullptr, true, RLIM_INFINITY, "a symbolic link, not a regular file"},
        {[&] { std::ofstream(path) << "old"; }, nullptr, true, 10, "File too large"},
        {[&] { std::ofstream(path) << "old"; }, nullptr, true, 1000, "File too large"},
        {nullptr, [&] { fs::create_directories(path + "/d"); }, true, RLIM_INFINITY, "Is a directory"},
        {nullptr, [&] { std::ofstream(path) << "new"; }, false, RLIM_INFINITY, "File exists"},
    };
    for (const auto &c : cases) {
        fs::remove_all(dir), fs::create_directories(dir);
        c.at ? c.at() : void();
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY}, limit{c.limit, RLIM_INFINITY};
        common::save_file file;
        std::string why, temporary, want = there();
        setrlimit(RLIMIT_FSIZE, &limit);
        if (common::begin_save(path, c.replace, w, r, &file, &why) && c.meanwhile) {
            c.meanwhile();
            want = there(), temporary = fs::path(file.temporary).filename().string() + " ";
            want.erase(want.find(temporary), temporary.size());
        }
        EXPECT_FALSE(file.fd >= 0 && common::finish_save(&file, w, r, {}, &why));
        setrlimit(RLIMIT_FSIZE, &unlimited);
        sigset_t pending;
        sigpending(&pending);
        EXPECT_EQ(why + (sigismember(&pending, SIGXFSZ) ? " SIGXFSZ" : ""), "cannot save '" + path + "': " + c.why);
        EXPECT_EQ(there(), want) << c.why;
    }
    // A link and a FIFO at names temporary files once had: never used; an old file's mode kept; a new
    // file's from the umask.
    fs::remove_all(dir), fs::create_directories(dir);
    fs::create_symlink("old", old_name + std::to_string(getpid()));
    mkfifo((old_name + std::to_string(getpid() + 1)).c_str(), 0600);
    std::string why, modes;
    mode_t umask_was = umask(027);
    for (mode_t was : {0600, 0604, 0}) {
        fs::remove(path);
        if (was != 0)
            std::ofstream(path) << "old", chmod(path.c_str(), was);
        EXPECT_TRUE(common::save_world(path, w, r, {}, &why)) << why;
        modes += common::text_of("%o ", mode());
    }
    umask(umask_was);
    EXPECT_EQ(modes + (fs::exists(dir / "old") ? "followed" : ""), "100600 100604 100640 ");
    fs::remove_all(dir);
}

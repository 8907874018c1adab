// The module `terrarium`: worlds of either program made, run, read, saved
// and branched from Python, through the very rules, dumps and files of the
// programs. A world runs without the interpreter's lock, so that worlds in
// several threads run at once; each world takes one call at a time.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl/filesystem.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "common/drawn_selection.h"
#include "common/outcome.h"
#include "common/rules.h"
#include "common/usage.h"
#include "storage/headless.h"
#include "storage/lineage.h"
#include "storage/run_log.h"
#include "storage/world_file.h"
#include "terrarium/init.h"
#include "terrarium/rules.h"
#include "tools/programs.h"
#include "tools/saved_world.h"
#include "vivarium/rules.h"

namespace py = pybind11;

namespace {

// What the programs would refuse or end with: their own lines, and the
// status they would exit with. Raised as terrarium.Error.
struct world_error {
    std::string message;
    int status;
};

// The programs' lines end in a line break; an exception's do not.
std::string without_last_break(std::string lines)
{
    while (!lines.empty() && lines.back() == '\n')
        lines.pop_back();
    return lines;
}

[[noreturn]] void refuse_because(const common::world_base &w)
{
    throw world_error{without_last_break(w.outcome_message), common::exit_status(w.outcome)};
}

// Memory that runs short leaves a world as the programs leave it: refused,
// too large. Nothing more is run on what was half done.
void record_short_of_memory(common::world_base &w)
{
    w.outcome = common::outcome::too_large;
    w.outcome_message = "world too large\n";
}

[[noreturn]] void raise_os_error(int error, const std::string &path)
{
    errno = error;
    PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
    throw py::error_already_set();
}

// What one call to World.run did: the passes it ran and how the world
// stands.
struct run_result {
    long passes;
    common::outcome outcome;
    std::string message;
    int status;
};

// A file that a world's run writes about itself, its log or its genealogy,
// kept by the world until closed; what Python holds is a handle on it.
class recording {
public:
    virtual ~recording() = default;
    // Finishes the file for a run that stands at `status`: "" or the line
    // that says why it could not be written whole.
    virtual std::string finish(int status) = 0;
    std::string path;
    const char *kind = "";  // "log" or "lineage"
};

template <class File>
class recording_of final : public recording {
public:
    std::string finish(int status) override
    {
        std::string complaint;
        file.end(status, &complaint);
        return without_last_break(complaint);
    }
    File file;
};

class world {
public:
    world(const common::rules *rules, std::unique_ptr<common::world_base> w, const common::run_state &run)
        : rules_(rules), world_(std::move(w)), run_(run)
    {
        follow_selection();
    }
    ~world()
    {
        for (auto &r : recordings_) {
            std::string complaint = r->finish(common::exit_status(world_->outcome));
            if (!complaint.empty())
                std::fprintf(stderr, "%s\n", complaint.c_str());
        }
    }
    world(const world &) = delete;
    world &operator=(const world &) = delete;

    static std::unique_ptr<world> make(const std::string &program, long long seed, long lines, long cols,
                                       const py::object &size, const py::object &roughness, const py::object &grid);
    static std::unique_ptr<world> load(const std::string &path);

    run_result run(long passes);
    std::unique_ptr<world> clone();
    void save(const std::string &path);
    std::string dump();
    py::array map(const py::object &self);
    py::dict bugs();
    py::array motives();
    py::dict census();
    recording *log(const std::string &path, long every);
    recording *lineage(const std::string &path);
    std::string close(recording *r);
    std::string repr();

    const common::rules &rules() const { return *rules_; }
    common::world_base &state() { return *world_; }
    long population() const { return rules_->population(*world_); }
    py::object seed() const { return resumed_.empty() ? py::object(py::int_(seed_)) : py::object(py::none()); }

    // The world for one call: a call from another thread is waited for
    // without the interpreter's lock.
    std::unique_lock<std::mutex> hold()
    {
        std::unique_lock<std::mutex> lock(busy_, std::try_to_lock);
        if (!lock.owns_lock()) {
            py::gil_scoped_release unlocked;
            lock.lock();
        }
        return lock;
    }

    // What `f` reads of the world, while no other call runs on it.
    template <class F>
    auto read(F f)
    {
        auto lock = hold();
        return f();
    }

private:
    // The cells drawn for the selected bug of a world read from a file are
    // followed, so that a save keeps them as the programs' would.
    void follow_selection()
    {
        if (run_.selected.size() > 0)
            drawn_.emplace(world_->map, run_.selected);
    }
    // How the world is run now, as a save keeps it: the cells drawn for
    // the selected bug as they stand.
    common::run_state current_run() const
    {
        common::run_state run = run_;
        if (drawn_)
            run.selected = drawn_->cells();
        return run;
    }
    void shown_or_refused() const
    {
        if (common::refused(world_->outcome))
            refuse_because(*world_);
    }
    template <class World>
    py::dict columns_of(const World &w);
    template <class File>
    recording *attach(const std::string &path, const char *kind, std::unique_ptr<recording_of<File>> made);

    const common::rules *rules_;
    std::unique_ptr<common::world_base> world_;
    common::run_state run_;
    std::optional<common::selection_record> drawn_;
    unsigned seed_ = 0;
    std::string resumed_;  // resumed_from(...) for a world read from a file
    std::vector<std::unique_ptr<recording>> recordings_;
    std::mutex busy_;
};

// A long run is taken in pieces of about this long, between which the
// interpreter may raise KeyboardInterrupt: the world stops on a pass
// boundary, whole.
constexpr auto PIECE = std::chrono::milliseconds(100);

run_result world::run(long passes)
{
    if (passes < 0)
        throw py::value_error("passes must be 0 or more");
    auto lock = hold();
    common::world_base &w = *world_;
    const long before = w.passes;
    long left = passes, piece = 1;
    bool short_of_memory = false;
    while (left > 0 && w.outcome == common::outcome::running) {
        {
            py::gil_scoped_release unlocked;
            const auto start = std::chrono::steady_clock::now();
            const long now = std::min(left, piece);
            try {
                if (run_.turn_pending) {
                    common::play_turn(w, *rules_);
                    run_.turn_pending = false;
                }
                common::run_passes(w, *rules_, now);
            } catch (const std::bad_alloc &) {
                record_short_of_memory(w);
                short_of_memory = true;
            }
            left -= now;
            if (std::chrono::steady_clock::now() - start < PIECE / 2 && piece < (1L << 30))
                piece *= 2;
        }
        if (PyErr_CheckSignals() != 0)
            throw py::error_already_set();
    }
    if (short_of_memory)
        throw std::bad_alloc();
    return {w.passes - before, w.outcome, without_last_break(w.outcome_message), common::exit_status(w.outcome)};
}

std::unique_ptr<world> world::clone()
{
    auto lock = hold();
    shown_or_refused();
    auto copy = std::make_unique<world>(rules_, world_->clone(), current_run());
    copy->seed_ = seed_;
    copy->resumed_ = resumed_;
    return copy;
}

void world::save(const std::string &path)
{
    auto lock = hold();
    if (world_->outcome != common::outcome::running)
        throw world_error{"a world that has ended is not saved: " + without_last_break(world_->outcome_message),
                          common::EXIT_BAD_ENVIRONMENT};
    const common::run_state run = current_run();
    std::string why;
    bool saved;
    {
        py::gil_scoped_release unlocked;
        saved = common::save_world(path, *world_, *rules_, run, &why);
    }
    if (!saved)
        throw world_error{why, common::EXIT_BAD_ENVIRONMENT};
}

// The dump as simdump prints it: a world that has ended is followed by
// "stopped".
std::string world::dump()
{
    auto lock = hold();
    shown_or_refused();
    char *text = nullptr;
    size_t length = 0;
    std::FILE *out = open_memstream(&text, &length);
    if (out == nullptr)
        throw std::bad_alloc();
    rules_->dump(out, *world_);
    if (world_->outcome != common::outcome::running)
        std::fputs("stopped\n", out);
    const bool written = std::fclose(out) == 0;
    std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
    if (!written)
        throw std::bad_alloc();
    return std::string(text, length);
}

// The glyphs themselves, read-only: numpy's view keeps the world alive.
py::array world::map(const py::object &self)
{
    const common::world_map &m = world_->map;
    const char *glyphs = m.row(0);
    py::array view(py::dtype::of<uint8_t>(), {m.rows(), m.cols()}, {static_cast<py::ssize_t>(m.cols()), py::ssize_t{1}},
                   reinterpret_cast<const uint8_t *>(glyphs), self);
    view.attr("setflags")(py::arg("write") = false);
    return view;
}

// One numpy column per field of the bugs, in ring order from the cursor.
template <class World>
py::dict world::columns_of(const World &w)
{
    using Bug = typename World::bug_type;
    constexpr bool has_vision = std::is_same_v<Bug, terrarium::bug>;
    const py::ssize_t n = static_cast<py::ssize_t>(population());
    py::array_t<int64_t> id(n);
    py::array_t<int32_t> x(n), y(n), facing(n), food(n), age(n), gen(n), size(n), vision(has_vision ? n : 0);
    py::array race(py::dtype("U1"), std::vector<py::ssize_t>{n});
    std::vector<py::array_t<int8_t>> genes;
    for (int g = 0; g < common::GENES; g++)
        genes.emplace_back(n);
    auto *races = static_cast<char32_t *>(race.mutable_data());
    std::vector<int8_t *> gene_data;
    for (auto &column : genes)
        gene_data.push_back(column.mutable_data());
    py::ssize_t i = 0;
    auto *ids = id.mutable_data();
    auto *xs = x.mutable_data(), *ys = y.mutable_data(), *facings = facing.mutable_data();
    auto *foods = food.mutable_data(), *ages = age.mutable_data(), *gens = gen.mutable_data();
    auto *sizes = size.mutable_data(), *visions = vision.mutable_data();
    common::for_each_bug(w.refs.cursor, [&](const Bug *b) {
        if (i == n)
            return;
        ids[i] = b->id;
        xs[i] = b->x;
        ys[i] = b->y;
        facings[i] = b->facing;
        races[i] = static_cast<unsigned char>(b->race);
        foods[i] = b->food;
        ages[i] = b->age;
        gens[i] = b->gen;
        sizes[i] = b->size;
        if constexpr (has_vision)
            visions[i] = b->vision;
        for (int g = 0; g < common::GENES; g++)
            gene_data[static_cast<size_t>(g)][i] = b->dna[g];
        i++;
    });
    py::dict columns;
    columns["id"] = id;
    columns["x"] = x;
    columns["y"] = y;
    columns["facing"] = facing;
    columns["race"] = race;
    columns["food"] = food;
    columns["age"] = age;
    columns["generation"] = gen;
    columns["size"] = size;
    if (has_vision)
        columns["vision"] = vision;
    for (int g = 0; g < common::GENES; g++)
        columns[py::str("g" + std::to_string(g))] = genes[static_cast<size_t>(g)];
    return columns;
}

py::dict world::bugs()
{
    auto lock = hold();
    shown_or_refused();
    if (rules_ == &terrarium::world_rules)
        return columns_of(static_cast<const terrarium::world &>(*world_));
    return columns_of(static_cast<const vivarium::world &>(*world_));
}

// terrarium's bugs' attractions, a row of 256 (one per glyph byte) a bug,
// in the order of bugs().
py::array world::motives()
{
    auto lock = hold();
    shown_or_refused();
    if (rules_ != &terrarium::world_rules)
        throw py::value_error("vivarium's bugs have no motives");
    const auto &w = static_cast<const terrarium::world &>(*world_);
    const py::ssize_t n = static_cast<py::ssize_t>(population());
    py::array_t<int32_t> table({n, static_cast<py::ssize_t>(terrarium::GLYPHS)});
    int32_t *row = table.mutable_data();
    py::ssize_t i = 0;
    common::for_each_bug(w.refs.cursor, [&](const terrarium::bug *b) {
        if (i++ == n)
            return;
        std::copy(b->motive, b->motive + terrarium::GLYPHS, row);
        row += terrarium::GLYPHS;
    });
    return table;
}

py::dict world::census()
{
    auto lock = hold();
    shown_or_refused();
    std::map<unsigned char, long> counts;
    world_->each_bug_seen([&](const common::bug_seen &b) { counts[static_cast<unsigned char>(b.race)]++; });
    py::dict races;
    for (const auto &[race, count] : counts)
        races[py::str(std::string(1, static_cast<char>(race)))] = count;
    return races;
}

template <class File>
recording *world::attach(const std::string &path, const char *kind, std::unique_ptr<recording_of<File>> made)
{
    common::run_description described = rules_->describe(*world_);
    described.resumed = resumed_;
    if (!made->file.open(path.c_str(), described, seed_))
        raise_os_error(errno, path);
    made->path = path;
    made->kind = kind;
    recordings_.push_back(std::move(made));
    return recordings_.back().get();
}

recording *world::log(const std::string &path, long every)
{
    if (every < 1)
        throw py::value_error("every must be 1 or more");
    auto lock = hold();
    shown_or_refused();
    recording *r = attach(path, "log", std::make_unique<recording_of<common::run_log>>());
    auto &log = static_cast<recording_of<common::run_log> *>(r)->file;
    log.thin_to(every);
    log.census_from(rules_->census);
    log.watch(*world_);
    return r;
}

recording *world::lineage(const std::string &path)
{
    auto lock = hold();
    shown_or_refused();
    recording *r = attach(path, "lineage", std::make_unique<recording_of<common::lineage>>());
    static_cast<recording_of<common::lineage> *>(r)->file.watch(*world_);
    return r;
}

std::string world::close(recording *r)
{
    auto lock = hold();
    for (auto it = recordings_.begin(); it != recordings_.end(); ++it)
        if (it->get() == r) {
            std::string complaint = r->finish(common::exit_status(world_->outcome));
            recordings_.erase(it);
            return complaint;
        }
    return "";
}

std::string world::repr()
{
    auto lock = hold();
    const common::world_base &w = *world_;
    std::string origin = resumed_.empty() ? "seed=" + std::to_string(seed_) : "from " + resumed_;
    const char *how = w.outcome == common::outcome::running ? "running" : "ended";
    return "<terrarium.World " + std::string(rules_->name) + " " + origin + " " + std::to_string(w.map.rows()) + "x" +
           std::to_string(w.map.cols()) + " passes=" + std::to_string(w.passes) +
           " population=" + std::to_string(population()) + " " + how + ">";
}

// The world of a program's options: terrarium's as its command line reads
// them, with the same ranges and lines.
std::unique_ptr<common::world_base> new_world(const common::rules *rules, const py::object &size,
                                              const py::object &roughness, const py::object &grid)
{
    if (rules != &terrarium::world_rules) {
        if (!size.is_none() || !roughness.is_none() || !grid.is_none())
            throw py::value_error(std::string(rules->name) + " takes no size, roughness or grid");
        return rules->new_world();
    }
    std::vector<std::string> words{"terrarium"};
    char number[64];
    if (!size.is_none()) {
        std::snprintf(number, sizeof number, "%.17g", size.cast<double>());
        words.insert(words.end(), {"-s", number});
    }
    if (!roughness.is_none())
        words.insert(words.end(), {"-r", std::to_string(roughness.cast<long long>())});
    if (!grid.is_none())
        words.insert(words.end(), {"-g", std::to_string(grid.cast<long long>())});
    std::vector<const char *> argv;
    for (const std::string &word : words)
        argv.push_back(word.c_str());
    terrarium::options options;
    const char *message = nullptr;
    if (terrarium::parse_options(static_cast<int>(argv.size()), argv.data(), &options, &message) != 0)
        throw py::value_error(without_last_break(message));
    return std::make_unique<terrarium::world>(options);
}

std::unique_ptr<world> world::make(const std::string &program, long long seed, long lines, long cols,
                                   const py::object &size, const py::object &roughness, const py::object &grid)
{
    const common::rules *rules = tools::program_named(program);
    if (rules == nullptr)
        throw py::value_error("program must be 'terrarium' or 'vivarium', not '" + program + "'");
    if (seed < 0 || seed > 4294967295LL)
        throw py::value_error("seed must be 0 to 4294967295");
    if (lines < 1 || lines > 10000 || cols < 1 || cols > 10000)
        throw py::value_error("lines and cols must be 1 to 10000");
    auto made = std::make_unique<world>(rules, new_world(rules, size, roughness, grid), common::run_state());
    made->seed_ = static_cast<unsigned>(seed);
    common::world_base &w = made->state();
    {
        py::gil_scoped_release unlocked;
        try {
            common::start_seeded(w, *rules, made->seed_, static_cast<int>(lines), static_cast<int>(cols));
        } catch (const std::bad_alloc &) {
            record_short_of_memory(w);
        }
    }
    if (w.outcome != common::outcome::running)
        refuse_because(w);
    return made;
}

std::unique_ptr<world> world::load(const std::string &path)
{
    tools::saved_world saved;
    std::string why;
    int status;
    {
        py::gil_scoped_release unlocked;
        status = tools::read_saved_world(path, &saved, &why);
    }
    if (status != 0)
        throw world_error{why, status};
    auto loaded = std::make_unique<world>(saved.program, std::move(saved.world), saved.run);
    loaded->resumed_ = common::resumed_from(path, loaded->state().passes);
    return loaded;
}

// What Python holds of a log or a genealogy: the world it records, kept
// alive, and the file, until closed.
class handle {
public:
    handle(py::object owner, recording *r) : owner_(std::move(owner)), recording_(r), path_(r->path), kind_(r->kind) {}

    // Ends the file: raises terrarium.Error when it could not be written
    // whole. Closing twice does nothing.
    void close()
    {
        if (recording_ == nullptr)
            return;
        recording *r = recording_;
        recording_ = nullptr;
        std::string complaint = owner_.cast<world &>().close(r);
        if (!complaint.empty())
            throw world_error{complaint, common::EXIT_BAD_ENVIRONMENT};
    }
    bool closed() const { return recording_ == nullptr; }
    const std::string &path() const { return path_; }
    std::string repr() const
    {
        return "<terrarium.Recording " + kind_ + " '" + path_ + "' " + (closed() ? "closed" : "open") + ">";
    }

private:
    py::object owner_;
    recording *recording_;
    std::string path_;
    std::string kind_;
};

const char *outcome_name(common::outcome o)
{
    switch (o) {
    case common::outcome::running: return "RUNNING";
    case common::outcome::one_bug_left: return "ONE_BUG_LEFT";
    case common::outcome::no_bug_left: return "NO_BUG_LEFT";
    case common::outcome::too_small: return "TOO_SMALL";
    case common::outcome::too_large: return "TOO_LARGE";
    case common::outcome::bad_terrain: return "BAD_TERRAIN";
    case common::outcome::lost_bug: return "LOST_BUG";
    }
    return "?";
}

}  // namespace

PYBIND11_MODULE(terrarium, m)
{
    m.doc() = "Worlds of terrarium and vivarium: made, run, inspected, saved and branched from Python.";
    m.attr("__version__") = common::program_version();

    static py::exception<world_error> error(m, "Error");
    error.doc() = "A world refused or a file not read or written as the programs would: the programs' own line, "
                  "and .status, the status they would exit with.";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const world_error &e) {
            py::object raised = py::reinterpret_borrow<py::object>(error)(e.message);
            raised.attr("status") = e.status;
            PyErr_SetObject(error.ptr(), raised.ptr());
        }
    });

    py::enum_<common::outcome> outcome(m, "Outcome", "How a world stands: running, or ended or refused by its rules.");
    for (auto o : {common::outcome::running, common::outcome::one_bug_left, common::outcome::no_bug_left,
                   common::outcome::too_small, common::outcome::too_large, common::outcome::bad_terrain,
                   common::outcome::lost_bug})
        outcome.value(outcome_name(o), o);

    py::class_<run_result>(m, "RunResult", "What World.run did: the passes it ran and how the world stands.")
        .def_readonly("passes", &run_result::passes, "Passes run by this call")
        .def_readonly("outcome", &run_result::outcome, "How the world stands")
        .def_readonly("message", &run_result::message, "The programs' line for an ended world, '' while it runs")
        .def_readonly("status", &run_result::status, "The status a program would exit with, were it to stop now")
        .def("__iter__",
             [](const run_result &r) { return py::iter(py::make_tuple(r.passes, py::cast(r.outcome))); })
        .def("__repr__", [](const run_result &r) {
            return "RunResult(passes=" + std::to_string(r.passes) + ", outcome=Outcome." + outcome_name(r.outcome) +
                   ")";
        });

    py::class_<handle>(m, "Recording", "A log or genealogy that a world writes as it runs, until closed.")
        .def("close", &handle::close, "Ends the file; raises terrarium.Error if it could not be written whole")
        .def_property_readonly("closed", &handle::closed)
        .def_property_readonly("path", &handle::path)
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__", [](handle &h, py::args) { h.close(); })
        .def("__repr__", &handle::repr);

    py::class_<world>(m, "World", "A world of terrarium or vivarium, run pass by pass by the programs' own rules.")
        .def(py::init(&world::make), py::kw_only(), py::arg("program") = "terrarium", py::arg("seed"),
             py::arg("lines") = 24, py::arg("cols") = 80, py::arg("size") = py::none(),
             py::arg("roughness") = py::none(), py::arg("grid") = py::none(),
             "A new world for a screen of lines x cols, seeded as with TERRARIUM_SEED or simdump --seed; "
             "terrarium's size, roughness and grid as its -s, -r and -g (2.0, 150, 4 unless given).")
        .def("run", &world::run, py::arg("passes"),
             "Runs the given passes, or up to the world's end; returns a RunResult (passes run, outcome).")
        .def("clone", &world::clone, "A copy that runs on exactly as this world would, without its logs.")
        .def("__copy__", &world::clone)
        .def("__deepcopy__", [](world &w, py::object) { return w.clone(); })
        .def("save", [](world &w, const std::filesystem::path &path) { w.save(path.string()); }, py::arg("path"), "Writes the world file the programs write.")
        .def("dump", &world::dump, "The world as text, exactly as simdump prints it.")
        .def("bugs", &world::bugs,
             "The bugs in turn order: a dict of equal-length numpy columns (id, x, y, facing, race, food, age, "
             "generation, size, vision for terrarium, g0 to g24).")
        .def("motives", &world::motives,
             "terrarium: each bug's attraction to each glyph byte, a (bugs x 256) array in the order of bugs().")
        .def("census", &world::census, "Living bugs per race, by race letter.")
        .def(
            "log",
            [](py::object self, const std::filesystem::path &path, long every) {
                return handle(self, self.cast<world &>().log(path.string(), every));
            },
            py::arg("path"), py::kw_only(), py::arg("every") = 1,
            "Writes the run's log to path from now on, as TERRARIUM_LOG does, every N-th pass's row; "
            "returns the Recording (a context manager).")
        .def(
            "lineage",
            [](py::object self, const std::filesystem::path &path) {
                return handle(self, self.cast<world &>().lineage(path.string()));
            },
            py::arg("path"),
            "Writes the run's genealogy to path from now on (.zst: compressed), as TERRARIUM_LINEAGE does; "
            "returns the Recording.")
        .def_property_readonly("map", [](py::object self) { return self.cast<world &>().map(self); },
                               "The map, rows x cols bytes: a read-only view of the world's own cells.")
        .def_property_readonly("program", [](world &w) { return std::string(w.rules().name); })
        .def_property_readonly("seed", &world::seed, "The seed it was made with; None for a world read from a file")
        .def_property_readonly("passes", [](world &w) { return w.read([&] { return w.state().passes; }); })
        .def_property_readonly("phase", [](world &w) { return w.read([&] { return w.state().phase; }); })
        .def_property_readonly("population", [](world &w) { return w.read([&] { return w.population(); }); })
        .def_property_readonly("shape", [](world &w) { return py::make_tuple(w.state().map.rows(), w.state().map.cols()); })
        .def_property_readonly("outcome", [](world &w) { return w.read([&] { return w.state().outcome; }); })
        .def("__repr__", &world::repr);

    m.def("load", [](const std::filesystem::path &path) { return world::load(path.string()); }, py::arg("path"), "The world saved in a world file of either program.");
}

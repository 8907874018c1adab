// terrarium-lab genes: the living population's genes over time.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <unistd.h>
#include <unordered_map>

#include "common/text.h"
#include "tools/lab/children.h"
#include "tools/lab/genealogy.h"

namespace lab {

namespace {

namespace fs = std::filesystem;

struct living_bug {
    std::string race;
    std::vector<double> genes;
};

// One genealogy, read as far as the pass of the last snapshot.
struct source {
    std::unique_ptr<lineage_reader> reader;
    std::unordered_map<long long, living_bug> living;
    lineage_event waiting;      // the first row after that pass
    bool has_waiting = false;
    long long last_pass = 0;    // of the rows read

    bool read_one()
    {
        has_waiting = reader->next(&waiting);
        last_pass = has_waiting ? waiting.pass : last_pass;
        return reader->error().empty();
    }
    // Applies the rows up to pass `upto`; false on a bad row.
    bool advance(long long upto)
    {
        for (; has_waiting && waiting.pass <= upto; read_one()) {
            if (waiting.kind != 'd')
                living[waiting.id] = {waiting.race, waiting.genes};
            else
                living.erase(waiting.id);
        }
        return reader->error().empty();
    }
    // Whether the file's rows reach pass `pass`.
    bool reaches(long long pass) const { return has_waiting || last_pass >= pass; }
};

// A running mean and spread (Welford), for one race and gene.
struct running {
    long long n = 0;
    double mean = 0, squares = 0;
    void add(double v)
    {
        n++;
        double before = mean;
        mean += (v - mean) / static_cast<double>(n);
        squares += (v - before) * (v - mean);
    }
};

// The genealogies named: FILE, or a directory's *.lineage.csv(.zst) in name order.
bool genealogies(const std::string &input, std::vector<std::string> *paths)
{
    std::error_code error;
    if (!fs::is_directory(input, error)) {
        paths->push_back(input);
        return true;
    }
    for (const fs::directory_entry &entry : fs::directory_iterator(input, error)) {
        std::string name = entry.path().filename().string();
        auto ends = [&name](const std::string &end) {
            return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
        };
        if (ends(".lineage.csv") || ends(".lineage.csv.zst"))
            paths->push_back(entry.path().string());
    }
    std::sort(paths->begin(), paths->end());
    if (paths->empty())
        complain(input + ": no genealogies (*.lineage.csv, *.lineage.csv.zst) in it");
    return !paths->empty();
}

// The rows of one pass: every race, then all races as race *.
void write_pass(std::FILE *out, long long pass, const std::vector<source> &sources,
                const std::vector<std::string> &names)
{
    std::map<std::string, std::vector<running>> by_race;
    for (const source &s : sources) {
        if (!s.reaches(pass))
            continue;
        for (const auto &[id, bug] : s.living)
            for (const std::string &race : {std::string("*"), bug.race}) {
                std::vector<running> &genes = by_race[race];
                genes.resize(names.size());
                for (size_t i = 0; i < names.size(); i++)
                    if (!std::isnan(bug.genes[i]))
                        genes[i].add(bug.genes[i]);
            }
    }
    for (const auto &[race, genes] : by_race)
        for (size_t i = 0; i < names.size(); i++) {
            const running &g = genes[i];
            std::string sd = g.n > 1 ? common::text_of("%.6g", std::sqrt(g.squares / static_cast<double>(g.n - 1))) : "";
            if (g.n > 0)
                std::fprintf(out, "%lld,%s,%s,%.6g,%s,%lld\n", pass, common::printable(race).c_str(),
                             common::printable(names[i]).c_str(), g.mean, sd.c_str(), g.n);
        }
}

bool open_sources(const std::vector<std::string> &paths, std::vector<source> *sources)
{
    for (const std::string &path : paths) {
        source s;
        s.reader = std::make_unique<lineage_reader>(path);
        if (!s.reader->open() || !s.read_one()) {
            complain(s.reader->error());
            return false;
        }
        if (!sources->empty() && s.reader->genes() != sources->front().reader->genes()) {
            complain(path + ": other genes than " + sources->front().reader->path() + "'s");
            return false;
        }
        sources->push_back(std::move(s));
    }
    return true;
}

// Every `step` passes from 0 while a genealogy's rows reach that far.
bool write_genes(std::vector<source> &sources, long step, std::FILE *out)
{
    const std::vector<std::string> &names = sources.front().reader->genes();
    std::fputs("pass,race,gene,mean,sd,n\n", out);
    for (long long pass = 0;; pass += step) {
        for (source &s : sources)
            if (!s.advance(pass)) {
                complain(s.reader->error());
                return false;
            }
        if (std::none_of(sources.begin(), sources.end(), [pass](const source &s) { return s.reaches(pass); }))
            return true;
        write_pass(out, pass, sources, names);
    }
}

}  // namespace

int genes(const std::string &input, long step, const std::string &output)
{
    std::vector<std::string> paths;
    std::vector<source> sources;
    if (!genealogies(input, &paths) || !open_sources(paths, &sources))
        return 1;
    int fd = output.empty() ? -1 : open_file(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC);
    std::FILE *out = output.empty() ? stdout : fd < 0 ? nullptr : fdopen(fd, "w");
    if (out == nullptr) {
        complain("cannot write " + output + ": " + std::strerror(errno));
        return 1;
    }
    bool written = write_genes(sources, step, out);
    bool failed = out != stdout && (std::ferror(out) != 0) + (std::fclose(out) != 0) > 0;
    if (failed && written) {
        complain("cannot write " + output + ": " + std::strerror(errno));
        return 1;
    }
    return written ? 0 : 1;
}

}  // namespace lab

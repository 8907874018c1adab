// A world's genealogy read back a row at a time (see the lineage writer):
// comment lines, the header "pass,event,id,parent,partner,race,generation,
// cause,by," and the gene columns, then one row per founder, birth and
// death in pass order. A name ending in .zst is read through zstd. Only
// the row being read is held, so files of any length are read in bounded
// memory.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace lab {

struct lineage_event {
    long long pass = 0;
    char kind = 0;          // 'f' founder, 'b' birth, 'd' death
    long long id = 0;
    long long parent = 0;   // 0 for founders and deaths
    std::string race;
    std::vector<double> genes;  // founders and births: one per gene column, NaN where empty
};

class lineage_reader {
public:
    explicit lineage_reader(const std::string &path);
    ~lineage_reader();
    lineage_reader(const lineage_reader &) = delete;
    lineage_reader &operator=(const lineage_reader &) = delete;

    // Opens the file and reads up to its header; false, with error() set.
    bool open();
    // The next row into *event; false at the end, or on a bad row or a
    // failed read, with error() then set ("PATH: line N: ...").
    bool next(lineage_event *event);
    const std::vector<std::string> &genes() const { return genes_; }
    const std::string &error() const { return error_; }
    const std::string &path() const { return path_; }
    // Sets error() to "PATH: line N: WHY", N the row last read; false.
    bool fail(const std::string &why);

private:
    bool next_line(std::string *line);
    bool fill();
    bool fail_read(const std::string &why);  // "PATH: WHY", of the file as a whole

    struct decompressor;
    std::string path_, error_, pending_;
    size_t taken_ = 0;
    long long line_ = 0, last_pass_ = 0;
    std::FILE *file_ = nullptr;
    std::unique_ptr<decompressor> zstd_;
    bool ended_ = false;
    std::vector<std::string> genes_;
};

// terrarium-lab tree FILE: the living bugs' ancestry as Newick on the
// standard output, their most recent common ancestor on the error stream.
// Returns the exit status: 0, or 1 with a line for a file that cannot be
// read, is no genealogy or has no bug alive.
int tree(const std::string &path);

// terrarium-lab genes FILE|DIR: pass,race,gene,mean,sd,n of the living
// bugs' genes every `step` passes, per race and for all (race *), into
// `output` (the standard output when empty). A directory's genealogies
// (*.lineage.csv and *.lineage.csv.zst) are pooled, each counting up to
// its last row's pass. Returns the exit status, 0 or 1 with a line.
int genes(const std::string &input, long step, const std::string &output);

}  // namespace lab

#include "tools/lab/summary.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <unistd.h>
#include <vector>

#include "common/text.h"
#include "tools/lab/children.h"
#include "tools/lab/log_file.h"

namespace lab {

namespace {

// A run's row of runs.csv, its fields as written.
struct run_row {
    std::string program, seed, ended_at, population, races;
    bool killed;
};

// A race's figures over a setting's runs, for races.csv.
struct race_tally {
    int led = 0;          // runs it ended with the most bugs of any race
    long long bugs = 0;   // its bugs at the ends, summed
};

struct setting_summary {
    std::string setting;
    int runs = 0;                    // logs of runs that ended, with rows
    int killed = 0;                  // logs of runs a signal ended
    std::vector<long long> one_bug;  // the pass of each run that ended with one bug
    std::vector<long long> finals;   // the population at each run's end
    std::map<std::string, int> survived;  // runs in which each race was alive at the end
    std::vector<run_row> rows;            // every run counted, killed ones too
    std::vector<curve> populations;       // of the runs that ended
    std::map<std::string, race_tally> races;
};

double mean(const std::vector<long long> &values)
{
    double sum = 0;
    for (long long v : values)
        sum += static_cast<double>(v);
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

// The sample standard deviation; 0 for fewer than two values.
double spread(const std::vector<long long> &values)
{
    if (values.size() < 2)
        return 0;
    double m = mean(values), squares = 0;
    for (long long v : values)
        squares += (static_cast<double>(v) - m) * (static_cast<double>(v) - m);
    return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

// The seed of a log named as the lab names them, "seed12.csv"; or empty.
std::string seed_of(const std::string &path)
{
    std::string name = std::filesystem::path(path).stem().string();
    bool named = name.size() > 4 && name.rfind("seed", 0) == 0 &&
                 name.find_first_not_of("0123456789", 4) == std::string::npos;
    return named ? name.substr(4) : "";
}

// The log's row of runs.csv: its last row's figures, when it has one.
run_row row_of(const log_file &log)
{
    run_row row{log.program, seed_of(log.path), "", "", "", log.killed()};
    if (log.rows.empty())
        return row;
    const std::vector<long long> &last = log.rows.back();
    int alive = 0;
    for (int column : log.race_columns())
        alive += column >= 0 && last[static_cast<size_t>(column)] > 0;
    row.ended_at = last[1] == 1 && !row.killed ? std::to_string(last[0]) : "";
    row.population = std::to_string(last[1]);
    row.races = std::to_string(alive);
    return row;
}

// Each race's bugs at the run's end, and the races with the most (none
// when no race is alive).
void tally_races(const log_file &log, std::map<std::string, race_tally> *races)
{
    const std::vector<long long> &last = log.rows.back();
    long long most = 0;
    for (int column : log.race_columns())
        most = column >= 0 ? std::max(most, last[static_cast<size_t>(column)]) : most;
    for (int column : log.race_columns()) {
        long long bugs = column >= 0 ? last[static_cast<size_t>(column)] : 0;
        if (bugs == 0)
            continue;
        race_tally &race = (*races)[log.columns[static_cast<size_t>(column)]];
        race.bugs += bugs;
        race.led += bugs == most;
    }
}

// Counts a log's run in; false, with *why set, for one left out.
bool add_run(const log_file &log, setting_summary *s, std::string *why)
{
    if (!log.ended || log.end_status < 0) {
        *why = "cut short, without its end line";
        return false;
    }
    if (log.killed()) {
        s->killed++;
        s->rows.push_back(row_of(log));
        return true;
    }
    if (log.rows.empty()) {
        *why = "without rows (a refused world)";
        return false;
    }
    const std::vector<long long> &last = log.rows.back();
    s->runs++;
    s->finals.push_back(last[1]);
    if (last[1] == 1)
        s->one_bug.push_back(last[0]);
    for (int column : log.race_columns())
        if (column >= 0 && last[static_cast<size_t>(column)] > 0)
            s->survived[log.columns[static_cast<size_t>(column)]]++;
    s->rows.push_back(row_of(log));
    s->populations.push_back(curve_of(log, 1));
    tally_races(log, &s->races);
    return true;
}

// The three races alive at the end of most runs, as "A:12 C:9 F:7".
std::string top_races(const std::map<std::string, int> &survived)
{
    std::vector<std::pair<std::string, int>> races(survived.begin(), survived.end());
    std::stable_sort(races.begin(), races.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
    std::string text;
    for (size_t i = 0; i < races.size() && i < 3; i++)
        text += (i ? " " : "") + races[i].first + ":" + std::to_string(races[i].second);
    return text;
}

std::string mean_pass(const setting_summary &s)
{
    return s.one_bug.empty() ? "" : common::text_of("%.1f", mean(s.one_bug));
}

// A directory's name as one CSV field: quoted when it holds a comma or a quote.
std::string csv_field(const std::string &name)
{
    std::string field;
    for (char c : common::printable(name))
        field += c == '"' ? std::string("\"\"") : std::string(1, c);
    return name.find_first_of(",\"") == std::string::npos ? field : "\"" + field + "\"";
}

void print(std::FILE *out, const setting_summary &s)
{
    std::fprintf(out, "%-20s %5d %6d %8zu %12s %10.2f %8.2f   %s\n", common::printable(s.setting).c_str(), s.runs,
                 s.killed, s.one_bug.size(), mean_pass(s).c_str(), mean(s.finals), spread(s.finals),
                 top_races(s.survived).c_str());
}

void write_row(std::FILE *out, const setting_summary &s)
{
    std::fprintf(out, "%s,%d,%d,%zu,%s,%.2f,%.2f,%s\n", csv_field(s.setting).c_str(), s.runs, s.killed,
                 s.one_bug.size(), mean_pass(s).c_str(), mean(s.finals), spread(s.finals),
                 top_races(s.survived).c_str());
}

// The summary of one setting's logs, each left out with a line on the
// error stream when it cannot be counted.
setting_summary summarize_setting(const setting_logs &logs)
{
    setting_summary s;
    s.setting = logs.name;
    for (const std::string &path : logs.paths) {
        log_file log;
        std::string why;
        if (!read_log(path, &log, &why))
            complain(why + ": left out");
        else if (!add_run(log, &s, &why))
            complain(path + ": " + why + ": left out");
    }
    return s;
}

// Writes a table, its header then what `rows` writes, to `path`; false,
// with a line naming it, when it cannot be written.
bool write_table(const std::string &path, const char *header, const std::function<void(std::FILE *)> &rows)
{
    int fd = open_file(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC);
    std::FILE *csv = fd < 0 ? nullptr : fdopen(fd, "w");
    if (csv != nullptr) {
        std::fputs(header, csv);
        rows(csv);
    }
    bool written = csv != nullptr && !std::ferror(csv);
    if ((csv != nullptr ? std::fclose(csv) != 0 : fd >= 0 && close(fd) != 0) || !written) {
        complain("cannot write " + path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

// The number after `letter` in a part of a setting's name ("1.5" of
// "s1.5"); empty when it is not that letter and a number.
std::string value_after(const std::string &part, char letter)
{
    char *end = nullptr;
    bool named = part.size() > 1 && part[0] == letter && std::isdigit(static_cast<unsigned char>(part[1]));
    return named && (std::strtod(part.c_str() + 1, &end), *end == '\0') ? part.substr(1) : "";
}

// The values of -s, -r and -g in a setting's name as the lab makes it,
// "s1.5-r150-g4", as "1.5,150,4"; ",," for any other name (vivarium's).
std::string options_of(const std::string &setting)
{
    std::vector<std::string> parts = split(setting, '-');
    if (parts.size() != 3)
        return ",,";
    std::string s = value_after(parts[0], 's'), r = value_after(parts[1], 'r'), g = value_after(parts[2], 'g');
    return s.empty() || r.empty() || g.empty() ? ",," : s + "," + r + "," + g;
}

void write_runs(std::FILE *csv, const std::vector<setting_summary> &summaries, const std::string &passes)
{
    for (const setting_summary &s : summaries)
        for (const run_row &r : s.rows)
            std::fprintf(csv, "%s,%s,%s,%s,%s,%s,%s,%s,%d\n", csv_field(s.setting).c_str(), csv_field(r.program).c_str(),
                         options_of(s.setting).c_str(), r.seed.c_str(), passes.c_str(), r.ended_at.c_str(),
                         r.population.c_str(), r.races.c_str(), r.killed ? 1 : 0);
}

// Per setting and pass the mean population, its sd, the runs, and the
// interval (sd and interval left empty for a single run).
void write_series(std::FILE *csv, const std::vector<setting_summary> &summaries)
{
    for (const setting_summary &s : summaries)
        for (const pass_figures &f : series_of(s.populations)) {
            std::string spread = f.n < 2 ? common::text_of(",%zu,,", f.n)
                                         : common::text_of("%.4f,%zu,%.4f,%.4f", f.sd, f.n, f.low, f.high);
            std::fprintf(csv, "%s,%lld,%.4f,%s\n", csv_field(s.setting).c_str(), f.pass, f.mean, spread.c_str());
        }
}

void write_races(std::FILE *csv, const std::vector<setting_summary> &summaries)
{
    for (const setting_summary &s : summaries)
        for (const auto &[race, tally] : s.races)
            std::fprintf(csv, "%s,%s,%d,%.4f\n", csv_field(s.setting).c_str(), race.c_str(), tally.led,
                         static_cast<double>(tally.bugs) / s.runs);
}

// The passes a manifest's first line gives its runs, or empty.
std::string passes_of(const std::string &manifest)
{
    size_t comma = manifest.find(", ");
    size_t end = manifest.find(" passes", comma);
    std::string passes = comma == std::string::npos || end == std::string::npos ? "" : manifest.substr(comma + 2, end - comma - 2);
    return !passes.empty() && passes.find_first_not_of("0123456789") == std::string::npos ? passes : "";
}

bool write_tables(const std::string &dir, const std::vector<setting_summary> &summaries, const std::string &manifest)
{
    return write_table(dir + "/summary.csv",
                       "setting,runs,killed,one_bug,one_bug_mean_pass,final_mean,final_sd,top_races\n",
                       [&](std::FILE *csv) {
                           for (const setting_summary &s : summaries)
                               write_row(csv, s);
                       }) &&
           write_table(dir + "/runs.csv",
                       "setting,program,s,r,g,seed,passes,ended_at,final_population,races_alive,killed\n",
                       [&](std::FILE *csv) { write_runs(csv, summaries, passes_of(manifest)); }) &&
           write_table(dir + "/series.csv", "setting,pass,mean,sd,n,low,high\n",
                       [&](std::FILE *csv) { write_series(csv, summaries); }) &&
           write_table(dir + "/races.csv", "setting,race,runs_led,mean_at_end\n",
                       [&](std::FILE *csv) { write_races(csv, summaries); });
}

}  // namespace

int summarize(const std::vector<std::string> &dirs)
{
    std::vector<setting_logs> settings;
    std::string why;
    if (!merged_sweep_logs(dirs, &settings, &why)) {
        complain(why);
        return 1;
    }
    std::vector<setting_summary> summaries;
    for (const setting_logs &logs : settings)
        summaries.push_back(summarize_setting(logs));
    if (summaries.empty()) {
        complain("no run logs under " + dirs[0]);
        return 1;
    }
    // The runs of a branched sweep began at a saved world's pass.
    std::string shared;
    manifest_line(sweep_root(dirs[0]), &shared, &why);
    size_t branched = shared.find(", branched from ");
    if (branched != std::string::npos)
        std::printf("%s\n", shared.substr(branched + 2).c_str());
    std::printf("%-20s %5s %6s %8s %12s %10s %8s   %s\n", "setting", "runs", "killed", "one bug", "at pass",
                "final pop", "sd", "races alive at the end most often");
    for (const setting_summary &s : summaries)
        print(stdout, s);
    return dirs.size() > 1 || write_tables(dirs[0], summaries, shared) ? 0 : 1;
}

curve curve_of(const log_file &log, int column)
{
    curve figures;
    for (const std::vector<long long> &row : log.rows)
        figures.push_back({row[0], row[static_cast<size_t>(column)]});
    return figures;
}

double t_975(size_t degrees)
{
    static const double table[] = {12.706205, 4.302653, 3.182446, 2.776445, 2.570582, 2.446912, 2.364624, 2.306004,
                                   2.262157,  2.228139, 2.200985, 2.178813, 2.160369, 2.144787, 2.131450, 2.119905,
                                   2.109816,  2.100922, 2.093024, 2.085963, 2.079614, 2.073873, 2.068658, 2.063899,
                                   2.059539,  2.055529, 2.051831, 2.048407, 2.045230, 2.042272};
    if (degrees <= 30)
        return table[std::max<size_t>(degrees, 1) - 1];
    // Beyond the table, the Cornish-Fisher expansion about the normal
    // quantile: within 1e-7 from 30 degrees on.
    const double z = 1.959963985, v = static_cast<double>(degrees);
    const double z3 = z * z * z, z5 = z3 * z * z, z7 = z5 * z * z, z9 = z7 * z * z;
    return z + (z3 + z) / (4 * v) + (5 * z5 + 16 * z3 + 3 * z) / (96 * v * v) +
           (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / (384 * v * v * v) +
           (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / (92160 * v * v * v * v);
}

std::vector<pass_figures> series_of(const std::vector<curve> &runs)
{
    std::map<long long, std::vector<double>> by_pass;
    for (const curve &run : runs)
        for (const auto &row : run)
            by_pass[row.first];
    for (const curve &run : runs) {
        size_t next = 0;
        for (auto &[pass, values] : by_pass) {
            while (next + 1 < run.size() && run[next + 1].first <= pass)
                next++;
            if (!run.empty() && run[0].first <= pass)
                values.push_back(static_cast<double>(run[next].second));
        }
    }
    std::vector<pass_figures> series;
    for (const auto &[pass, values] : by_pass) {
        double sum = 0, squares = 0, n = static_cast<double>(values.size());
        for (double v : values)
            sum += v;
        for (double v : values)
            squares += (v - sum / n) * (v - sum / n);
        double sd = values.size() > 1 ? std::sqrt(squares / (n - 1)) : 0;
        double half = values.size() > 1 ? t_975(values.size() - 1) * sd / std::sqrt(n) : 0;
        series.push_back({pass, sum / n, sd, values.size(), sum / n - half, sum / n + half});
    }
    return series;
}

}  // namespace lab

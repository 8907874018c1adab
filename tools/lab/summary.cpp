#include "tools/lab/summary.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>
#include <vector>

#include "common/text.h"
#include "tools/lab/children.h"
#include "tools/lab/log_file.h"

namespace lab {

namespace {

struct setting_summary {
    std::string setting;
    int runs = 0;                    // logs of runs that ended, with rows
    int killed = 0;                  // logs of runs a signal ended
    std::vector<long long> one_bug;  // the pass of each run that ended with one bug
    std::vector<long long> finals;   // the population at each run's end
    std::map<std::string, int> survived;  // runs in which each race was alive at the end
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

// Counts a log's run in; false, with *why set, for one left out.
bool add_run(const log_file &log, setting_summary *s, std::string *why)
{
    if (!log.ended || log.end_status < 0) {
        *why = "cut short, without its end line";
        return false;
    }
    if (log.killed()) {
        s->killed++;
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

bool write_summary(const std::string &path, const std::vector<setting_summary> &summaries)
{
    int fd = open_file(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC);
    std::FILE *csv = fd < 0 ? nullptr : fdopen(fd, "w");
    if (csv != nullptr) {
        std::fputs("setting,runs,killed,one_bug,one_bug_mean_pass,final_mean,final_sd,top_races\n", csv);
        for (const setting_summary &s : summaries)
            write_row(csv, s);
    }
    bool written = csv != nullptr && !std::ferror(csv);
    if ((csv != nullptr ? std::fclose(csv) != 0 : fd >= 0 && close(fd) != 0) || !written) {
        complain("cannot write " + path + ": " + std::strerror(errno));
        return false;
    }
    return true;
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
    manifest_line(dirs[0], &shared, &why);
    size_t branched = shared.find(", branched from ");
    if (branched != std::string::npos)
        std::printf("%s\n", shared.substr(branched + 2).c_str());
    std::printf("%-20s %5s %6s %8s %12s %10s %8s   %s\n", "setting", "runs", "killed", "one bug", "at pass",
                "final pop", "sd", "races alive at the end most often");
    for (const setting_summary &s : summaries)
        print(stdout, s);
    return dirs.size() > 1 || write_summary(dirs[0] + "/summary.csv", summaries) ? 0 : 1;
}

}  // namespace lab

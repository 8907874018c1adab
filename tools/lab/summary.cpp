#include "tools/lab/summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "common/text.h"
#include "tools/lab/log_file.h"

namespace lab {

namespace {

struct setting_summary {
    std::string setting;
    int runs = 0;                    // logs with rows and their end line
    int skipped = 0;                 // logs without: refused or cut short
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

void add_run(const log_file &log, setting_summary *s)
{
    if (!log.ended || log.rows.empty()) {
        s->skipped++;
        return;
    }
    const std::vector<long long> &last = log.rows.back();
    s->runs++;
    s->finals.push_back(last[1]);
    if (last[1] == 1)
        s->one_bug.push_back(last[0]);
    for (int column : log.race_columns())
        if (column >= 0 && last[static_cast<size_t>(column)] > 0)
            s->survived[log.columns[static_cast<size_t>(column)]]++;
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

void print(std::FILE *out, const setting_summary &s)
{
    std::fprintf(out, "%-20s %5d %8zu %12s %10.2f %8.2f   %s\n", s.setting.c_str(), s.runs, s.one_bug.size(),
                 mean_pass(s).c_str(), mean(s.finals), spread(s.finals), top_races(s.survived).c_str());
}

void write_row(std::FILE *out, const setting_summary &s)
{
    std::fprintf(out, "%s,%d,%zu,%s,%.2f,%.2f,%s\n", s.setting.c_str(), s.runs, s.one_bug.size(),
                 mean_pass(s).c_str(), mean(s.finals), spread(s.finals), top_races(s.survived).c_str());
}

}  // namespace

int summarize(const std::string &dir)
{
    std::vector<setting_summary> summaries;
    for (const setting_logs &logs : sweep_logs(dir)) {
        setting_summary s;
        s.setting = logs.name;
        for (const std::string &path : logs.paths) {
            log_file log;
            std::string why;
            if (!read_log(path, &log, &why)) {
                std::fprintf(stderr, "terrarium-lab: %s\n", why.c_str());
                return 1;
            }
            add_run(log, &s);
        }
        summaries.push_back(s);
    }
    if (summaries.empty()) {
        std::fprintf(stderr, "terrarium-lab: no run logs under %s\n", dir.c_str());
        return 1;
    }
    std::FILE *csv = std::fopen((dir + "/summary.csv").c_str(), "w");
    if (csv == nullptr) {
        std::fprintf(stderr, "terrarium-lab: cannot write %s/summary.csv\n", dir.c_str());
        return 1;
    }
    std::fputs("setting,runs,one_bug,one_bug_mean_pass,final_mean,final_sd,top_races\n", csv);
    std::printf("%-20s %5s %8s %12s %10s %8s   %s\n", "setting", "runs", "one bug", "at pass", "final pop",
                "sd", "races alive at the end most often");
    for (const setting_summary &s : summaries) {
        print(stdout, s);
        write_row(csv, s);
        if (s.skipped > 0)
            std::fprintf(stderr, "terrarium-lab: %s: %d logs without rows or an end line left out\n",
                         s.setting.c_str(), s.skipped);
    }
    return std::fclose(csv) == 0 ? 0 : 1;
}

}  // namespace lab

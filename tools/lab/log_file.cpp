#include "tools/lab/log_file.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lab {

namespace fs = std::filesystem;

int log_file::column(const std::string &name) const
{
    auto at = std::find(columns.begin(), columns.end(), name);
    return at == columns.end() ? -1 : static_cast<int>(at - columns.begin());
}

std::vector<int> log_file::race_columns() const
{
    std::vector<int> races;
    for (char race = 'A'; race <= 'Z'; race++)
        races.push_back(column(std::string(1, race)));
    races.push_back(column("other"));
    return races;
}

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

namespace {

bool read_row(const std::string &line, size_t width, std::vector<long long> *row)
{
    for (const std::string &field : split(line, ',')) {
        char *end = nullptr;
        row->push_back(std::strtoll(field.c_str(), &end, 10));
        if (field.empty() || *end != '\0')
            return false;
    }
    return row->size() == width;
}

}  // namespace

bool read_log(const std::string &path, log_file *log, std::string *why)
{
    std::ifstream in(path);
    if (!in) {
        *why = path + ": cannot be read";
        return false;
    }
    log->path = path;
    std::string line;
    for (int number = 1; std::getline(in, line); number++) {
        if (line.rfind("# end:", 0) == 0)
            log->ended = true;
        if (line.empty() || line[0] == '#')
            continue;
        if (log->columns.empty()) {
            log->columns = split(line, ',');
            continue;
        }
        std::vector<long long> row;
        if (!read_row(line, log->columns.size(), &row) || log->column("pass") != 0 ||
            log->column("population") != 1) {
            *why = path + ":" + std::to_string(number) + ": not a row of a run's log";
            return false;
        }
        log->rows.push_back(row);
    }
    return true;
}

std::vector<setting_logs> sweep_logs(const std::string &dir)
{
    std::vector<setting_logs> settings;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(dir, error)) {
        if (!entry.is_directory())
            continue;
        setting_logs setting{entry.path().filename().string(), {}};
        for (const fs::directory_entry &file : fs::directory_iterator(entry.path(), error))
            if (file.path().extension() == ".csv")
                setting.paths.push_back(file.path().string());
        std::sort(setting.paths.begin(), setting.paths.end());
        if (!setting.paths.empty())
            settings.push_back(setting);
    }
    std::sort(settings.begin(), settings.end(),
              [](const setting_logs &a, const setting_logs &b) { return a.name < b.name; });
    return settings;
}

}  // namespace lab

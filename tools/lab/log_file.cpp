#include "tools/lab/log_file.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <climits>
#include <cstring>
#include <filesystem>
#include <map>
#include <unistd.h>

#include "common/text.h"
#include "tools/lab/children.h"

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
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

namespace {

// An optional minus and decimal digits, nothing else, within long long.
bool read_field(const std::string &field, long long *value)
{
    size_t i = field.size() > 1 && field[0] == '-' ? 1 : 0;
    if (i == field.size())
        return false;
    unsigned long long magnitude = 0, most = i ? 1ULL + LLONG_MAX : LLONG_MAX;
    for (; i < field.size(); i++) {
        unsigned digit = static_cast<unsigned char>(field[i]) - '0';
        if (digit > 9 || magnitude > (most - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    *value = field[0] == '-' ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
    return true;
}

bool read_row(const std::string &line, size_t width, std::vector<long long> *row)
{
    std::vector<std::string> fields = split(line, ',');
    row->resize(fields.size());
    for (size_t i = 0; i < fields.size(); i++)
        if (!read_field(fields[i], &(*row)[i]))
            return false;
    return row->size() == width;
}

// "# end: status N" gives N; another end line, -1.
int end_status(const std::string &line)
{
    static const std::string start = "# end: status ";
    long long status = -1;
    if (line.rfind(start, 0) != 0 || !read_field(line.substr(start.size()), &status) || status < 0 ||
        status > INT_MAX)
        return -1;
    return static_cast<int>(status);
}

bool read_header(const std::string &line, log_file *log)
{
    log->columns = split(line, ',');
    // A name is a word of text: a control character (a stray carriage
    // return, say) would change when the log is written out again.
    auto unnamed = [](const std::string &c) {
        return c.empty() || std::any_of(c.begin(), c.end(), [](char ch) { return std::iscntrl(static_cast<unsigned char>(ch)); });
    };
    bool named = std::none_of(log->columns.begin(), log->columns.end(), unnamed);
    return named && log->columns.size() >= 2 && log->columns[0] == "pass" && log->columns[1] == "population";
}

}  // namespace

bool parse_log(const std::string &text, log_file *log, std::string *why)
{
    std::vector<std::string> lines = split(text, '\n');
    if (lines.back().empty())
        lines.pop_back();  // the newline that ends the last line
    for (size_t i = 0; i < lines.size(); i++) {
        std::string &line = lines[i];
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        bool good = true;
        if (line.rfind("# program: ", 0) == 0 && log->columns.empty()) {
            log->program = line.substr(11);
        } else if (line.rfind("# end:", 0) == 0) {
            log->ended = true;
            log->end_status = end_status(line);
        } else if (line.empty() || line[0] == '#') {
            continue;
        } else if (log->columns.empty()) {
            good = read_header(line, log);
        } else {
            log->rows.emplace_back();
            good = read_row(line, log->columns.size(), &log->rows.back());
        }
        if (!good) {
            *why = std::to_string(i + 1) + ": not " + (log->rows.empty() ? "the header" : "a row") + " of a run's log";
            return false;
        }
    }
    return true;
}

namespace {

// Reads from `fd` to its end, or until a line is whole when `one_line`,
// and closes it; false, with *why set, on an error.
bool read_text(int fd, const std::string &path, bool one_line, std::string *text, std::string *why)
{
    char buffer[65536];
    ssize_t got = 0;
    while ((!one_line || text->find('\n') == std::string::npos) &&
           ((got = read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)))
        text->append(buffer, static_cast<size_t>(std::max<ssize_t>(got, 0)));
    int error = got < 0 ? errno : 0;
    close(fd);
    if (error != 0)
        *why = path + ": cannot be read: " + std::strerror(error);
    return error == 0;
}

}  // namespace

bool read_log(const std::string &path, log_file *log, std::string *why)
{
    int fd = open_regular(path, why);
    std::string text;
    log->path = path;
    if (fd < 0 || !read_text(fd, path, false, &text, why))
        return false;
    if (!parse_log(text, log, why)) {
        *why = path + ":" + *why;
        return false;
    }
    return true;
}

namespace {

// A run's log in a setting's directory: a .csv but the summary's tables
// and the runs' genealogies.
bool names_log(const fs::path &file)
{
    static const char *const tables[] = {"summary.csv", "runs.csv", "series.csv", "races.csv"};
    return file.extension() == ".csv" && file.stem().extension() != ".lineage" &&
           std::none_of(std::begin(tables), std::end(tables), [&](const char *t) { return file.filename() == t; });
}

// The logs in a setting's directory, in name order.
std::vector<std::string> logs_in(const fs::path &dir)
{
    std::vector<std::string> paths;
    std::error_code error;
    for (const fs::directory_entry &file : fs::directory_iterator(dir, error))
        if (names_log(file.path()))
            paths.push_back(file.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace

std::vector<setting_logs> sweep_logs(const std::string &dir)
{
    std::vector<setting_logs> settings;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(dir, error)) {
        if (!entry.is_directory(error))
            continue;
        setting_logs setting{entry.path().filename().string(), logs_in(entry.path())};
        if (!setting.paths.empty())
            settings.push_back(setting);
    }
    std::sort(settings.begin(), settings.end(),
              [](const setting_logs &a, const setting_logs &b) { return a.name < b.name; });
    return settings;
}

namespace {

// A setting's directory's own name: "s1-r150-g4" for "runs/s1-r150-g4/.".
std::string setting_named(const std::string &dir)
{
    std::error_code error;
    fs::path path = fs::absolute(dir, error).lexically_normal();
    return (path.has_filename() ? path : path.parent_path()).filename().string();
}

}  // namespace

std::string sweep_root(const std::string &dir)
{
    return sweep_logs(dir).empty() && !logs_in(dir).empty() ? dir + "/.." : dir;
}

bool manifest_line(const std::string &dir, std::string *line, std::string *why)
{
    line->clear();
    int fd = open_regular(dir + "/manifest", why);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR;  // none, or no directory: no sweep's
    if (!read_text(fd, dir + "/manifest", true, line, why))
        return false;
    line->erase(std::min(line->find('\n'), line->size()));
    if (std::any_of(line->begin(), line->end(), [](char c) { return std::iscntrl(static_cast<unsigned char>(c)); }))
        *line = common::printable(*line);
    return true;
}

bool merged_sweep_logs(const std::vector<std::string> &dirs, std::vector<setting_logs> *settings, std::string *why)
{
    std::map<std::string, std::vector<std::string>> by_setting;
    std::string first, line;
    for (const std::string &dir : dirs) {
        if (!manifest_line(sweep_root(dir), &line, why))
            return false;
        if (&dir == &dirs[0])
            first = line;
        if (line != first) {
            *why = dir + " holds another kind of sweep than " + dirs[0] + " (by their manifests)";
            return false;
        }
        std::vector<setting_logs> found = sweep_logs(dir);
        if (sweep_root(dir) != dir)
            found = {{setting_named(dir), logs_in(dir)}};
        for (const setting_logs &setting : found) {
            std::vector<std::string> &paths = by_setting[setting.name];
            paths.insert(paths.end(), setting.paths.begin(), setting.paths.end());
        }
    }
    auto file_name = [](const std::string &path) { return fs::path(path).filename().string(); };
    for (auto &[name, paths] : by_setting) {
        std::stable_sort(paths.begin(), paths.end(),
                         [&](const std::string &a, const std::string &b) { return file_name(a) < file_name(b); });
        auto twice = std::adjacent_find(paths.begin(), paths.end(), [&](const std::string &a, const std::string &b) {
            return file_name(a) == file_name(b);
        });
        if (twice != paths.end()) {
            *why = "two logs of one run: " + *twice + " and " + *(twice + 1);
            return false;
        }
        settings->push_back({name, paths});
    }
    return true;
}

}  // namespace lab

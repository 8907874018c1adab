#include "tools/lab/plot.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/text.h"
#include "tools/lab/children.h"
#include "tools/lab/log_file.h"
#include "tools/lab/summary.h"

namespace lab {

namespace {

namespace fs = std::filesystem;

bool is_png(const std::string &output) { return fs::path(output).extension() == ".png"; }

bool on_path(const char *program)
{
    const char *path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        if (access(((dir.empty() ? "." : dir) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// A string for gnuplot: single quotes, in which only a quote is special
// (no macros, no commands in backquotes); printable(), so that no control
// character ends the command.
std::string quoted(const std::string &text)
{
    std::string out = "'";
    for (char c : common::printable(text))
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// The terminal's line, by the output's name; on the terminal, its size
// (80 x 24 when standard output is not one). gnuplot draws on its standard
// output: no name of a file ever reaches it.
std::string terminal_for(const std::string &output)
{
    if (output.empty()) {
        winsize size{};
        bool known = isatty(1) && ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 1;
        return common::text_of("set terminal dumb size %d,%d\n", known ? size.ws_col : 80,
                               known ? size.ws_row - 1 : 24);
    }
    return is_png(output) ? "set terminal pngcairo size 1000,600\n" : "set terminal svg size 1000,600\n";
}

std::string label_of(const log_file &log, bool with_setting)
{
    fs::path path(log.path);
    std::string name = path.stem().string();
    return with_setting ? path.parent_path().filename().string() + "/" + name : name;
}

// Races drawn apart in a log's picture; the rest are summed as "others".
constexpr size_t RACES_DRAWN = 8;

// The race columns of a log ever alive, the largest at its peak first
// (ties in column order), split into those drawn apart and the others.
void races_by_peak(const log_file &log, std::vector<int> *drawn, std::vector<int> *others)
{
    std::vector<std::pair<long long, int>> peaks;
    for (int column : log.race_columns()) {
        long long peak = 0;
        for (const std::vector<long long> &row : log.rows)
            peak = column >= 0 ? std::max(peak, row[static_cast<size_t>(column)]) : 0;
        if (peak > 0)
            peaks.push_back({peak, column});
    }
    std::stable_sort(peaks.begin(), peaks.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    for (const auto &[peak, column] : peaks)
        (drawn->size() < RACES_DRAWN ? drawn : others)->push_back(column);
}

// A log's rows as a data block named `name`, its numbers apart by blanks,
// each row ending with the sum of the `others` columns.
std::string rows_block(const std::string &name, const log_file &log, const std::vector<int> &others)
{
    std::string block = name + " << EOD\n";
    for (const std::vector<long long> &row : log.rows) {
        long long summed = 0;
        for (int column : others)
            summed += row[static_cast<size_t>(column)];
        for (size_t i = 0; i < row.size(); i++)
            block += (i ? " " : "") + std::to_string(row[i]);
        block += " " + std::to_string(summed) + "\n";
    }
    return block + "EOD\n";
}

// One column of each log, a line each in a colour of its own.
std::string column_plots(const std::vector<log_file> &logs, const std::string &column)
{
    std::string blocks, plots;
    for (const log_file &log : logs) {
        size_t number = static_cast<size_t>(&log - logs.data() + 1);
        std::string data = "$log" + std::to_string(number);
        blocks += rows_block(data, log, {});
        plots += (plots.empty() ? "" : ", ") + data +
                 common::text_of(" using 1:%d with lines lw 2 lc %zu title ", log.column(column) + 1, number) +
                 quoted(label_of(log, logs.size() > 1));
    }
    return blocks + "set title " + quoted(column + " over time") + "\nplot " + plots + "\n";
}

// Each log's total in a thick line, then the races largest at their peak
// and the others summed; the data inline, before the plot command.
std::string file_plots(const std::vector<log_file> &logs)
{
    std::string blocks, plots;
    for (const log_file &log : logs) {
        std::string label = label_of(log, logs.size() > 1);
        std::string data = "$log" + std::to_string(&log - logs.data() + 1);
        std::vector<int> drawn, others;
        races_by_peak(log, &drawn, &others);
        blocks += rows_block(data, log, others);
        plots += (plots.empty() ? "" : ", ") + data + " using 1:2 with lines lw 3" +
                 (logs.size() == 1 ? " lc rgb 'black'" : "") + " title " + quoted(label + " all");
        for (int column : drawn)
            plots += ", " + data + common::text_of(" using 1:%d with lines title ", column + 1) +
                     quoted(label + " " + log.columns[static_cast<size_t>(column)]);
        if (!others.empty())
            plots += ", " + data + common::text_of(" using 1:%zu with lines dt 2 title ", log.columns.size() + 1) +
                     quoted(label + " others (" + std::to_string(others.size()) + " races)");
    }
    return blocks +
           common::text_of("set title 'bugs alive over time: all, the %zu races largest at their peak, the others "
                           "summed'\nplot ",
                           RACES_DRAWN) +
           plots + "\n";
}

// A data block of pass, mean and its 95% interval, for one setting.
std::string mean_block(const std::string &name, const std::vector<log_file> &runs, int column)
{
    std::vector<curve> curves;
    for (const log_file &run : runs)
        curves.push_back(curve_of(run, column));
    std::string block = name + " << EOD\n";
    for (const pass_figures &f : series_of(curves))
        block += common::text_of("%lld %g %g %g\n", f.pass, f.mean, f.low, f.high);
    return block + "EOD\n";
}

// The index of `name` in every log, or -1 with a line naming a log without it.
int column_in(const std::vector<log_file> &logs, const std::string &name)
{
    for (const log_file &log : logs)
        if (log.column(name) < 0) {
            complain(log.path + ": no column '" + name + "'");
            return -1;
        }
    return logs.empty() ? -1 : logs[0].column(name);
}

bool read_all(const std::vector<std::string> &paths, std::vector<log_file> *logs)
{
    for (const std::string &path : paths) {
        log_file log;
        std::string why;
        if (!read_log(path, &log, &why)) {
            complain(why);
            return false;
        }
        logs->push_back(log);
    }
    return true;
}

// Per setting, the mean of the column as a line in a band of its 95%
// interval.
bool sweep_script(const std::vector<std::string> &dirs, const std::string &column, std::string *script)
{
    std::vector<setting_logs> settings;
    std::string why, blocks, plots;
    if (!merged_sweep_logs(dirs, &settings, &why)) {
        complain(why);
        return false;
    }
    int number = 0;
    for (const setting_logs &setting : settings) {
        std::vector<log_file> runs;
        int at = -1;
        if (!read_all(setting.paths, &runs) || (at = column_in(runs, column)) < 0)
            return false;
        std::string name = "$setting" + std::to_string(++number);
        blocks += mean_block(name, runs, at);
        plots += common::text_of("%s%s using 1:3:4 with filledcurves fs transparent solid 0.2 lc %d notitle, "
                                 "%s using 1:2 with lines lw 2 lc %d title ",
                                 plots.empty() ? "" : ", ", name.c_str(), number, name.c_str(), number) +
                 quoted(setting.name);
    }
    if (number == 0) {
        complain("no run logs under " + dirs[0]);
        return false;
    }
    *script = blocks + "set title " + quoted("mean " + column + ", band: its 95% confidence interval") + "\nplot " +
              plots + "\n";
    return true;
}

// A number of a CSV of genes, safe in a data block.
bool plain_number(const std::string &text)
{
    char *end = nullptr;
    std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && text.find_first_not_of("0123456789.-+e") == std::string::npos;
}

// The mean of `gene` per race in a CSV of genes (terrarium-lab genes), as
// lines of "pass mean" by race; false, with a line, for a file of no such rows.
bool gene_means(const std::string &path, const std::string &gene, std::map<std::string, std::string> *races)
{
    std::string why;
    int fd = open_regular(path, &why);
    std::FILE *in = fd < 0 ? nullptr : fdopen(fd, "r");
    if (in == nullptr) {
        complain(why.empty() ? path + ": cannot be read: " + std::strerror(errno) : why);
        return false;
    }
    char *line = nullptr;
    size_t size = 0;
    ssize_t n;
    bool header = true, ok = true;
    while (ok && (n = getline(&line, &size, in)) >= 0) {
        std::string text(line, static_cast<size_t>(n));
        text.erase(text.find_last_not_of("\r\n") + 1);
        std::vector<std::string> f = split(text, ',');
        ok = header ? text == "pass,race,gene,mean,sd,n" : f.size() == 6 && plain_number(f[0]) && plain_number(f[3]);
        if (ok && !header && f[2] == gene)
            (*races)[f[1]] += f[0] + " " + f[3] + "\n";
        header = false;
    }
    std::free(line);
    std::fclose(in);
    if (!ok || header)
        complain(path + ": not a CSV of genes (pass,race,gene,mean,sd,n)");
    else if (races->empty())
        complain(path + ": no rows of gene " + gene);
    return ok && !header && !races->empty();
}

// Each file's mean of `gene`, a line per race, all races (*) thick.
bool genes_script(const std::vector<std::string> &paths, const std::string &gene, std::string *script)
{
    std::string blocks, plots;
    int number = 0;
    for (const std::string &path : paths) {
        std::map<std::string, std::string> races;
        if (!gene_means(path, gene, &races))
            return false;
        std::string label = paths.size() > 1 ? fs::path(path).stem().string() + " " : "";
        for (const auto &[race, rows] : races) {
            std::string name = "$gene" + std::to_string(++number);
            blocks += name + " << EOD\n" + rows + "EOD\n";
            plots += (plots.empty() ? "" : ", ") + name + " using 1:2 with lines" + (race == "*" ? " lw 3" : "") +
                     " title " + quoted(label + (race == "*" ? "all" : race));
        }
    }
    *script = blocks + "set ylabel " + quoted("mean " + gene) + "\nset title " +
              quoted("mean of gene " + gene + " among the bugs alive, per race") + "\nplot " + plots + "\n";
    return true;
}

// Whether the picture in `fd` ends as a whole PNG or SVG file does: a
// gnuplot cut short (a full disk, a file size limit) leaves a part.
bool picture_whole(int fd, bool png)
{
    static const char png_end[] = "IEND\xae\x42\x60\x82", svg_end[] = "</svg>";
    char tail[64] = {};
    off_t size = lseek(fd, 0, SEEK_END);
    off_t from = std::max<off_t>(0, size - static_cast<off_t>(sizeof tail - 1));
    if (size <= 0 || pread(fd, tail, static_cast<size_t>(size - from), from) != size - from)
        return false;
    std::string end(tail, static_cast<size_t>(size - from));
    end.erase(end.find_last_not_of(" \n") + 1);
    const std::string wanted = png ? std::string(png_end, sizeof png_end - 1) : svg_end;
    return end.size() >= wanted.size() && end.compare(end.size() - wanted.size(), wanted.size(), wanted) == 0;
}

// Runs gnuplot on `script`, its standard output on `out` (-1: the lab's).
// Whether it ran and ended with status 0.
bool run_gnuplot(const std::string &script, int out)
{
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0)
        return false;
    std::fflush(nullptr);
    pid_t pid = start_child();
    if (pid == 0) {
        if (dup2(pipe_ends[0], 0) < 0 || (out >= 0 && dup2(out, 1) < 0))
            _exit(127);
        execlp("gnuplot", "gnuplot", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipe_ends[0]);
    bool sent = pid > 0 && write_all(pipe_ends[1], script);  // EPIPE, not SIGPIPE: SIGPIPE is ignored
    close(pipe_ends[1]);
    int status = 0;
    while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (pid > 0)
        child_ended(pid);
    return pid > 0 && sent && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Draws into a file of the lab's own naming beside `output`, renamed to
// it once gnuplot has made the whole picture; nothing is left otherwise.
int draw_into(const std::string &output, const std::string &script)
{
    fs::path where = fs::path(output).parent_path();
    std::string temporary = (where.empty() ? std::string(".") : where.string()) + "/.terrarium-lab-XXXXXX";
    int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) {
        complain("cannot write " + output + ": " + std::strerror(errno));
        return 1;
    }
    remove_on_signal(temporary);
    // mkostemp makes it 0600; a picture is shared as any new file is.
    mode_t mask = umask(0);
    umask(mask);
    bool drawn = fchmod(fd, 0666 & ~mask) == 0 && run_gnuplot(script, fd) && picture_whole(fd, is_png(output)) &&
                 fsync(fd) == 0;
    bool closed = close(fd) == 0;
    int error = errno;
    if (drawn && closed && rename(temporary.c_str(), output.c_str()) == 0) {
        remove_on_signal("");
        return 0;
    }
    error = drawn && closed ? errno : error;
    unlink(temporary.c_str());
    remove_on_signal("");
    complain("cannot write " + output + ": " +
             (drawn ? std::strerror(error) : "gnuplot failed or made a picture cut short"));
    return 1;
}

}  // namespace

int plot(const std::vector<std::string> &inputs, const std::string &output, const std::string &column,
         const std::string &gene)
{
    std::string script = terminal_for(output) + "set termoption noenhanced\nset xlabel 'pass'\nset ylabel " +
                         quoted(column == "population" ? "bugs alive" : column) + "\nset key outside\n";
    std::error_code error;
    if (!gene.empty()) {
        std::string genes;
        if (!genes_script(inputs, gene, &genes))
            return 1;
        script += genes;
    } else if (std::all_of(inputs.begin(), inputs.end(), [&](const std::string &in) { return fs::is_directory(in, error); })) {
        std::string sweep;
        if (!sweep_script(inputs, column, &sweep))
            return 1;
        script += sweep;
    } else {
        std::vector<log_file> logs;
        if (!read_all(inputs, &logs) || column_in(logs, column) < 0)
            return 1;
        // One log's races are drawn apart; several logs' columns a colour each.
        script += logs.size() == 1 && column == "population" ? file_plots(logs) : column_plots(logs, column);
    }
    if (!on_path("gnuplot")) {
        std::fputs("terrarium-lab: gnuplot is not installed (Debian: apt-get install gnuplot-nox)\n", stderr);
        return 1;
    }
    end_children_with_lab();
    signal(SIGPIPE, SIG_IGN);
    if (!output.empty())
        return draw_into(output, script);
    if (!run_gnuplot(script, -1)) {
        std::fputs("terrarium-lab: gnuplot failed\n", stderr);
        return 1;
    }
    return 0;
}

}  // namespace lab

#include "tools/lab/plot.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/text.h"
#include "tools/lab/log_file.h"

namespace lab {

namespace {

namespace fs = std::filesystem;

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

// A string for gnuplot: single quotes, in which only a quote is special.
std::string quoted(const std::string &text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// The terminal's lines, by the output's name; on the terminal, its size
// (80 x 24 when standard output is not one).
bool terminal_for(const std::string &output, std::string *lines)
{
    std::string type = fs::path(output).extension().string();
    if (output.empty()) {
        winsize size{};
        bool known = isatty(1) && ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 1;
        *lines = common::text_of("set terminal dumb size %d,%d\n", known ? size.ws_col : 80,
                                 known ? size.ws_row - 1 : 24);
        return true;
    }
    if (type != ".png" && type != ".svg")
        return false;
    *lines = (type == ".png" ? "set terminal pngcairo size 1000,600\n" : "set terminal svg size 1000,600\n") +
             std::string("set output ") + quoted(output) + "\n";
    return true;
}

std::string label_of(const log_file &log, bool with_setting)
{
    fs::path path(log.path);
    std::string name = path.stem().string();
    return with_setting ? path.parent_path().filename().string() + "/" + name : name;
}

// Each log's total in a thick line, then every race that was ever alive.
std::string file_plots(const std::vector<log_file> &logs)
{
    std::string plots;
    for (const log_file &log : logs) {
        std::string label = label_of(log, logs.size() > 1);
        plots += (plots.empty() ? "" : ", ") + quoted(log.path) + " using 1:2 with lines lw 3" +
                 (logs.size() == 1 ? " lc rgb 'black'" : "") + " title " + quoted(label + " all");
        for (int column : log.race_columns()) {
            bool alive = false;
            for (const std::vector<long long> &row : log.rows)
                alive = alive || (column >= 0 && row[static_cast<size_t>(column)] > 0);
            if (alive)
                plots += ", " + quoted(log.path) + common::text_of(" using 1:%d with lines title ", column + 1) +
                         quoted(label + " " + log.columns[static_cast<size_t>(column)]);
        }
    }
    return plots;
}

// The population of each run at every pass that any run logged: a run's
// last figure holds until its next row, and after its end.
std::map<long long, std::vector<double>> populations_by_pass(const std::vector<log_file> &runs)
{
    std::map<long long, std::vector<double>> by_pass;
    for (const log_file &run : runs)
        for (const std::vector<long long> &row : run.rows)
            by_pass[row[0]];
    for (const log_file &run : runs) {
        size_t next = 0;
        for (auto &[pass, values] : by_pass) {
            while (next + 1 < run.rows.size() && run.rows[next + 1][0] <= pass)
                next++;
            if (!run.rows.empty() && run.rows[0][0] <= pass)
                values.push_back(static_cast<double>(run.rows[next][1]));
        }
    }
    return by_pass;
}

// A data block of pass, mean, mean - sd and mean + sd, for one setting.
std::string mean_block(const std::string &name, const std::vector<log_file> &runs)
{
    std::string block = name + " << EOD\n";
    for (const auto &[pass, values] : populations_by_pass(runs)) {
        double sum = 0, squares = 0, n = static_cast<double>(values.size());
        for (double v : values)
            sum += v;
        for (double v : values)
            squares += (v - sum / n) * (v - sum / n);
        double sd = values.size() > 1 ? std::sqrt(squares / (n - 1)) : 0;
        block += common::text_of("%lld %g %g %g\n", pass, sum / n, sum / n - sd, sum / n + sd);
    }
    return block + "EOD\n";
}

bool read_all(const std::vector<std::string> &paths, std::vector<log_file> *logs)
{
    for (const std::string &path : paths) {
        log_file log;
        std::string why;
        if (!read_log(path, &log, &why)) {
            std::fprintf(stderr, "terrarium-lab: %s\n", why.c_str());
            return false;
        }
        logs->push_back(log);
    }
    return true;
}

// Per setting, the mean population as a line in a band of one standard
// deviation either side.
bool sweep_script(const std::string &dir, std::string *script)
{
    std::string blocks, plots;
    int number = 0;
    for (const setting_logs &setting : sweep_logs(dir)) {
        std::vector<log_file> runs;
        if (!read_all(setting.paths, &runs))
            return false;
        std::string name = "$setting" + std::to_string(++number);
        blocks += mean_block(name, runs);
        plots += common::text_of("%s%s using 1:3:4 with filledcurves fs transparent solid 0.2 lc %d notitle, "
                                 "%s using 1:2 with lines lw 2 lc %d title ",
                                 plots.empty() ? "" : ", ", name.c_str(), number, name.c_str(), number) +
                 quoted(setting.name);
    }
    if (number == 0) {
        std::fprintf(stderr, "terrarium-lab: no run logs under %s\n", dir.c_str());
        return false;
    }
    *script = blocks + "set title 'mean population, band: one standard deviation'\nplot " + plots + "\n";
    return true;
}

}  // namespace

int plot(const std::vector<std::string> &inputs, const std::string &output)
{
    std::string script;
    if (!terminal_for(output, &script)) {
        std::fprintf(stderr, "terrarium-lab: the picture's name must end in .png or .svg: %s\n", output.c_str());
        return 1;
    }
    script += "set termoption noenhanced\nset datafile separator ','\nset xlabel 'pass'\nset ylabel 'bugs'\n"
              "set key top right\n";
    std::error_code error;
    if (inputs.size() == 1 && fs::is_directory(inputs[0], error)) {
        std::string sweep;
        if (!sweep_script(inputs[0], &sweep))
            return 1;
        script += "set datafile separator whitespace\n" + sweep;
    } else {
        std::vector<log_file> logs;
        if (!read_all(inputs, &logs))
            return 1;
        script += "set title 'population'\nplot " + file_plots(logs) + "\n";
    }
    if (!on_path("gnuplot")) {
        std::fputs("terrarium-lab: gnuplot is not installed (Debian: apt-get install gnuplot-nox)\n", stderr);
        return 1;
    }
    std::fflush(stdout);
    std::FILE *gnuplot = popen("gnuplot", "w");
    if (gnuplot == nullptr) {
        std::perror("terrarium-lab: gnuplot");
        return 1;
    }
    std::fputs(script.c_str(), gnuplot);
    int status = pclose(gnuplot);
    if (status != 0) {
        std::fputs("terrarium-lab: gnuplot failed\n", stderr);
        return 1;
    }
    return 0;
}

}  // namespace lab

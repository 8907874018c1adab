#include "tools/dump_common.h"

#include <vector>

#include "common/cell.h"
#include "common/term.h"

void throw_stop(int status, const char *message) { throw stopped{status, message ? message : ""}; }

bool is_refusal(int status) { return status == EXIT_WORLD_TOO_SMALL || status == EXIT_WORLD_TOO_LARGE; }

void dump_pad(std::FILE *out, WINDOW *pad, int rows, int cols)
{
    std::vector<char> line(static_cast<size_t>(cols) + 1);
    for (int row = 0; row < rows; row++) {
        for (int col = 0; col < cols; col++) {
            char glyph = '?';
            cell_read(pad, row, col, &glyph);
            line[col] = glyph;
        }
        line[cols] = '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    }
}

int run_headless(const headless_program &program, unsigned seed, int lines, int cols, long passes,
                 std::FILE *out)
{
    program.forget();
    if (!open_null_terminal(lines, cols)) {
        std::fputs("simdump: cannot open curses on /dev/null\n", stderr);
        return 1;
    }
    long done = 0;
    int status = 0;
    stop_hook = throw_stop;
    try {
        program.start(seed);
        program.run(passes, &done);
        program.dump(out, done);
    } catch (const stopped &s) {
        if (!is_refusal(s.status)) {
            program.dump(out, done);
            std::fputs("stopped\n", out);
        }
        std::fputs(s.message.c_str(), stderr);
        status = s.status;
    }
    stop_hook = nullptr;
    program.forget();
    return status;
}

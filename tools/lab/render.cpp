#include "tools/lab/render.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/decide.h"
#include "tools/lab/children.h"
#include "tools/saved_world.h"

namespace lab {

namespace {

struct rgb {
    std::uint8_t r, g, b;
    bool operator==(const rgb &o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const rgb &o) const { return !(*this == o); }
};

// The map's colours on a terminal of 256 colours, as RGB: the races' far
// apart, 'A' the first, in turn; the ground black.
const rgb race_colours[26] = {
    {255, 0, 0},     {255, 135, 0},   {255, 215, 0},   {255, 255, 0},   {135, 255, 0},   {0, 255, 135},
    {0, 255, 255},   {0, 175, 255},   {0, 135, 255},   {135, 95, 255},  {175, 0, 255},   {255, 0, 255},
    {255, 135, 255}, {255, 95, 175},  {255, 135, 95},  {215, 175, 135}, {215, 215, 135}, {175, 255, 135},
    {135, 255, 215}, {175, 255, 255}, {135, 215, 255}, {175, 175, 255}, {215, 95, 215},  {215, 175, 255},
    {238, 238, 238}, {138, 138, 138}};
const rgb blank{0, 0, 0};
const struct {
    char glyph;
    rgb colour;
} terrain_colours[] = {
    {'~', {30, 80, 200}}, {'#', {100, 100, 100}}, {'.', {0, 100, 0}},
    {'*', {0, 170, 0}},   {'!', {0, 170, 0}},     {'@', {0, 255, 0}},
};

rgb glyph_colour(char glyph)
{
    for (const auto &t : terrain_colours)
        if (t.glyph == glyph)
            return t.colour;
    if (common::race_ok(glyph))
        return race_colours[(glyph - 'A' + 26 * 128) % 26];
    return blank;
}

// A block's heat, t from 1 (one bug) to 255 (the most of any block):
// from dark red through orange and yellow towards white.
rgb heat(int t)
{
    int u = 85 + 2 * t;
    auto part = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    return {part(u), part(u - 255), part(u - 510)};
}

// The colour of every cell of the map, a row at a time.
class painter {
public:
    painter(const common::world_map &map, const render_options &options) : map_(map), block_(options.block)
    {
        for (int glyph = 0; glyph < 128; glyph++)
            by_glyph_[glyph] = glyph_colour(static_cast<char>(glyph));
        if (options.density)
            count_bugs();
    }

    void paint_row(int row, std::vector<rgb> *colours) const
    {
        const char *glyphs = map_.row(row);
        colours->resize(static_cast<size_t>(map_.cols()));
        for (int col = 0; col < map_.cols(); col++) {
            char glyph = glyphs[col];
            (*colours)[col] = by_glyph_[static_cast<unsigned char>(glyph) & 127];
            if (most_ > 0)
                (*colours)[col] = over_terrain(glyph, counts_[block_of(row, col)]);
        }
    }

private:
    size_t block_of(int row, int col) const { return (row / block_) * blocks_across_ + col / block_; }

    void count_bugs()
    {
        blocks_across_ = (map_.cols() + block_ - 1) / block_;
        counts_.assign(static_cast<size_t>((map_.rows() + block_ - 1) / block_) * blocks_across_, 0);
        for (int row = 0; row < map_.rows(); row++)
            for (int col = 0; col < map_.cols(); col++)
                if (common::race_ok(map_.row(row)[col]))
                    most_ = std::max(most_, ++counts_[block_of(row, col)]);
    }

    // The terrain (a bug's cell as blank ground), three parts heat to one
    // part ground where the block holds bugs.
    rgb over_terrain(char glyph, long count) const
    {
        rgb ground = common::race_ok(glyph) ? blank : by_glyph_[static_cast<unsigned char>(glyph) & 127];
        if (count == 0)
            return ground;
        rgb hot = heat(static_cast<int>((count * 255 + most_ - 1) / most_));
        auto mix = [](int g, int h) { return static_cast<std::uint8_t>((g + 3 * h) / 4); };
        return {mix(ground.r, hot.r), mix(ground.g, hot.g), mix(ground.b, hot.b)};
    }

    const common::world_map &map_;
    long block_;
    rgb by_glyph_[128];
    long blocks_across_ = 0, most_ = 0;
    std::vector<long> counts_;
};

// PNG, 8-bit RGB, each cell scale x scale pixels. libpng's errors unwind
// here through setjmp: nothing with a destructor lives in this frame.
bool write_png(FILE *out, const painter &paint, int rows, int cols, long scale, std::vector<rgb> *cells,
               std::vector<png_byte> *pixels)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, out);
    // Long runs of equal pixels: no filter, fast deflate.
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, static_cast<png_uint_32>(cols * scale), static_cast<png_uint_32>(rows * scale), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    pixels->resize(static_cast<size_t>(cols * scale) * 3);
    for (int row = 0; row < rows; row++) {
        paint.paint_row(row, cells);
        png_bytep p = pixels->data();
        for (int col = 0; col < cols; col++)
            for (long i = 0; i < scale; i++, p += 3) {
                const rgb &c = (*cells)[col];
                p[0] = c.r, p[1] = c.g, p[2] = c.b;
            }
        for (long i = 0; i < scale; i++)
            png_write_row(png, pixels->data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// SVG in cells' units, scaled by its size: the ground one rectangle, then
// one rectangle per run of equal cells of another colour in a row.
bool write_svg(FILE *out, const painter &paint, int rows, int cols, long scale)
{
    std::fprintf(out,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                 "width=\"%ld\" height=\"%ld\" viewBox=\"0 0 %d %d\" shape-rendering=\"crispEdges\">\n"
                 "<rect width=\"%d\" height=\"%d\" fill=\"#%02x%02x%02x\"/>\n",
                 cols * scale, rows * scale, cols, rows, cols, rows, blank.r, blank.g, blank.b);
    std::vector<rgb> cells;
    for (int row = 0; row < rows; row++) {
        paint.paint_row(row, &cells);
        for (int col = 0, end; col < cols; col = end) {
            for (end = col + 1; end < cols && cells[end] == cells[col];)
                end++;
            const rgb &c = cells[col];
            if (c != blank)
                std::fprintf(out, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"1\" fill=\"#%02x%02x%02x\"/>\n", col,
                             row, end - col, c.r, c.g, c.b);
        }
    }
    return std::fputs("</svg>\n", out) >= 0;
}

bool is_png(const std::string &name) { return name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0; }

// Draws into a file of the lab's own naming beside `picture`, renamed to
// it once whole; nothing is left otherwise. 0, or errno.
int draw(const std::string &picture, const painter &paint, const common::world_map &map, long scale)
{
    std::filesystem::path where = std::filesystem::path(picture).parent_path();
    std::string temporary = (where.empty() ? std::string(".") : where.string()) + "/.terrarium-lab-XXXXXX";
    int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return errno;
    end_children_with_lab();
    remove_on_signal(temporary);
    // mkostemp makes it 0600; a picture is shared as any new file is.
    mode_t mask = umask(0);
    umask(mask);
    FILE *out = fchmod(fd, 0666 & ~mask) == 0 ? fdopen(fd, "wb") : nullptr;
    if (out != nullptr)
        errno = 0;
    std::vector<rgb> cells;
    std::vector<png_byte> pixels;
    bool drawn = out != nullptr &&
                 (is_png(picture) ? write_png(out, paint, map.rows(), map.cols(), scale, &cells, &pixels)
                                  : write_svg(out, paint, map.rows(), map.cols(), scale)) &&
                 std::fflush(out) == 0 && !std::ferror(out) && fsync(fd) == 0;
    int error = drawn ? 0 : (errno != 0 ? errno : EIO);
    bool closed = out != nullptr ? std::fclose(out) == 0 : close(fd) == 0;
    if (drawn && !closed)
        error = errno;
    if (drawn && closed && rename(temporary.c_str(), picture.c_str()) != 0)
        error = errno;
    if (error != 0)
        unlink(temporary.c_str());
    remove_on_signal("");
    return error;
}

}  // namespace

int render(const std::string &path, const render_options &options)
{
    tools::saved_world saved;
    std::string why;
    int status = tools::read_saved_world(path, &saved, &why);
    if (status != 0) {
        complain(why);
        return status;
    }
    const common::world_map &map = saved.world->map;
    painter paint(map, options);
    int error = draw(options.picture, paint, map, options.scale);
    if (error == 0)
        return 0;
    complain("cannot write " + options.picture + ": " + std::strerror(error));
    return 1;
}

}  // namespace lab

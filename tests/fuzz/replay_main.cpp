// Runs a fuzz target over the files (or the files in the folders) given
// on the command line, for builds without libFuzzer: the checked-in corpus
// becomes an ordinary test, with the sanitizers of the build.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

void replay(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    long count = 0;
    for (int i = 1; i < argc; i++) {
        fs::path path(argv[i]);
        if (fs::is_directory(path)) {
            for (const fs::directory_entry &entry : fs::directory_iterator(path))
                if (entry.is_regular_file()) {
                    replay(entry.path());
                    count++;
                }
        } else {
            replay(path);
            count++;
        }
    }
    std::printf("replayed %ld inputs\n", count);
    return count > 0 ? 0 : 1;
}

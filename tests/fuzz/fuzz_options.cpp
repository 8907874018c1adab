// The command line of terrarium: any arguments end in a good world size,
// roughness and grid, or in one of the refusals with its own message.
// The input is split at NUL bytes into the arguments after the name.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "terrarium/globals.h"
#include "terrarium/init.h"

namespace {

void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_options: %s\n", what);
    std::abort();
}

const char *message_for(int status)
{
    switch (status) {
    case 2: return "I'm confused too many args\n";
    case 3: return "try -s [.25-30]\n";
    case 4: return "bad args\n";
    case 5: return "try -r [1-1000]\n";
    case 6: return "try -g [2-8]\n";
    default: return nullptr;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> args{"terrarium"};
    std::string text(reinterpret_cast<const char *>(data), size);
    size_t start = 0;
    while (args.size() < 12 && start <= text.size() && size > 0) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<const char *> argv;
    for (const std::string &a : args)
        argv.push_back(a.c_str());
    int argc = static_cast<int>(argv.size());

    const char *message = nullptr;
    int status = terrarium::parse_options(argc, argv.data(), &message);
    if (status == 0) {
        if (message != nullptr)
            fail("a message with a good command line");
        if (!(terrarium::world_size >= 0.25f && terrarium::world_size <= 30.0f))
            fail("world size out of range");
        if (terrarium::roughness < 1 || terrarium::roughness > 1000)
            fail("roughness out of range");
        if (terrarium::grid_size < 2 || terrarium::grid_size > 8)
            fail("grid out of range");
    } else {
        const char *wanted = message_for(status);
        if (wanted == nullptr)
            fail("an unknown status");
        if (message == nullptr || std::strcmp(message, wanted) != 0)
            fail("a refusal without its message");
    }
    if (argc >= 8 && status != 2)
        fail("too many arguments accepted");

    // The same command line gives the same answer again.
    float size_then = terrarium::world_size;
    int roughness_then = terrarium::roughness, grid_then = terrarium::grid_size;
    const char *again = nullptr;
    if (terrarium::parse_options(argc, argv.data(), &again) != status)
        fail("a second reading differs");
    if (status == 0 && (terrarium::world_size != size_then || terrarium::roughness != roughness_then ||
                        terrarium::grid_size != grid_then))
        fail("a second reading sets other values");
    return 0;
}

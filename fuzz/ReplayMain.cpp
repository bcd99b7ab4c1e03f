// Runs the fuzz target once over each file named on the command line, and over every file of
// each directory named, without the fuzzing engine: how ctest replays the seed corpus and how
// a finding is reproduced. Exits 0 only when every input ran and at least one was found.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        fs::path given(argv[i]);
        std::error_code error;
        if (fs::is_directory(given, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(given, error)) {
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            }
            if (error) {
                std::fprintf(stderr, "Cannot list %s: %s\n", argv[i], error.message().c_str());
                return 1;
            }
        } else {
            inputs.push_back(given);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "Usage: %s FILE-OR-DIRECTORY... (no input found)\n", argv[0]);
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());

    for (const fs::path& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "Cannot read %s\n", path.c_str());
            return 1;
        }
        std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::printf("Running: %s (%zu bytes)\n", path.c_str(), bytes.size());
        std::fflush(stdout);
        // A broken rule aborts inside the target, right after the name of its input.
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("Replayed %zu inputs; every rule held.\n", inputs.size());
    return 0;
}

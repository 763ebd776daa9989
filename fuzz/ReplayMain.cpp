// Runs a fuzz target over files and folders of inputs without libFuzzer, so the
// committed corpus is replayed by every build (any compiler, no sanitizers needed).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "tests/support/TestKit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') continue;  // libFuzzer flags are accepted and ignored
        if (!fs::is_directory(argv[i]))
            inputs.push_back(argv[i]);
        else
            for (const auto& e : fs::directory_iterator(argv[i]))
                inputs.push_back(e.path());
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        const std::string bytes = tintwell::test::ReadFile(input);
        std::fprintf(stderr, "replay %s (%zu bytes)\n", input.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::fprintf(stderr, "replayed %zu inputs\n", inputs.size());
    return inputs.empty() ? 1 : 0;  // an empty corpus is a set-up mistake, not a pass
}

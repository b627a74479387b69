// Runs a fuzz harness over the files of its corpus, as a regression test of
// every build (the compilers without libFuzzer link this instead).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::size_t inputs = 0;
    for (int a = 1; a < argc; ++a) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(argv[a])) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[a])) {
                if (entry.is_regular_file()) files.push_back(entry.path());
            }
        } else {
            files.emplace_back(argv[a]);
        }
        for (const auto& path : files) {
            std::ifstream file(path, std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++inputs;
        }
    }
    std::printf("%zu inputs passed\n", inputs);
    return inputs == 0 ? 1 : 0;
}

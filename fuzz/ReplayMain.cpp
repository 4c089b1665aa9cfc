// Replays inputs through a fuzz target's entry point without the fuzzing engine, so that
// every build (not only the clang fuzz build) runs the committed corpus as a test.
//
//   NameReplay FILE_OR_DIRECTORY...
//
// A directory contributes its regular files in name order. Each input is passed once to
// LLVMFuzzerTestOneInput, after LLVMFuzzerInitialize when the target defines it. A crash
// or a failed assertion ends the process abnormally; otherwise the exit code is 0, or 1
// when an argument cannot be read.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

bool collect(const std::filesystem::path& argument, std::vector<std::filesystem::path>& inputs) {
    std::error_code error;
    if (std::filesystem::is_directory(argument, error)) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(argument, error))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        inputs.insert(inputs.end(), files.begin(), files.end());
        return !error;
    }
    if (!std::filesystem::is_regular_file(argument, error)) return false;
    inputs.push_back(argument);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!collect(argv[i], inputs)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
    }
    for (const auto& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 1;
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}

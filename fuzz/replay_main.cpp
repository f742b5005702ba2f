// Runs a fuzz target's entry point over every file of the directories (or files) given, so that
// the inputs fuzzing once found, and the seeds, are replayed by the ordinary test build, with or
// without the sanitizers. Exits non-zero when an argument cannot be read.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

void RunOne(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path path(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(path, ec)) {
                if (!entry.is_regular_file()) continue;
                RunOne(entry.path());
                ++replayed;
            }
        } else if (std::filesystem::is_regular_file(path, ec)) {
            RunOne(path);
            ++replayed;
        } else {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    return 0;
}

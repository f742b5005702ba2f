#pragma once
// What every fuzz target shares: the readers under test read files, so each input is written to
// a scratch file in a directory of the process's own, made once.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantor::fuzz {

inline const std::string& ScratchDirectory() {
    static const std::string directory = [] {
        std::string pattern = "/tmp/vantor-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    // Removed when the run ends normally (a crash leaves it for a look).
    static const bool cleanup = [] {
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchDirectory(), ec);
        });
        return true;
    }();
    (void)cleanup;
    return directory;
}

// Writes the input to name in the scratch directory and returns the path.
inline std::string WriteInput(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = ScratchDirectory() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace vantor::fuzz

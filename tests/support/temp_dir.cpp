#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace vantor::testing {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "vantor-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::operator/(const std::string& relative) const {
    return (fs::path(path_) / relative).string();
}

std::string TempDir::WriteFile(const std::string& relative, const std::string& bytes) const {
    fs::path full = fs::path(path_) / relative;
    fs::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << bytes;
    return full.string();
}

std::string TempDir::ReadFile(const std::string& relative) const {
    return ReadWholeFile((fs::path(path_) / relative).string());
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::map<std::string, std::string> FilesIn(const std::string& directory) {
    std::map<std::string, std::string> files;
    for (const auto& item : fs::directory_iterator(directory))
        if (item.is_regular_file())
            files[item.path().filename().string()] = ReadWholeFile(item.path().string());
    return files;
}

}  // namespace vantor::testing

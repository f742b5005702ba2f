#include "common/text_file.h"

#include "common/paths.h"

namespace vantor {

bool TextFileReader::Open(const std::string& path) {
    file_.reset();
    if (path.empty() || !IsRegularFile(path)) return false;
    file_.reset(std::fopen(ResolvePath(path).c_str(), "rb"));
    return IsOpen();
}

bool TextFileReader::AtEnd() const {
    if (!file_) return true;
    int c = std::fgetc(file_.get());
    if (c == EOF) return true;
    std::ungetc(c, file_.get());
    return false;
}

int TextFileReader::ReadByte() {
    if (!file_) return -1;
    int c = std::fgetc(file_.get());
    return c == EOF ? -1 : c;
}

std::string ReadTextLine(TextFileReader& file) {
    std::string line;
    for (int c = file.ReadByte(); c != -1 && c != '\n'; c = file.ReadByte())
        if (c != '\r') line += static_cast<char>(c);
    return line;
}

}  // namespace vantor

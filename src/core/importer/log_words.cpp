#include "importer/log_words.h"

namespace vantor {

std::string WordAt(std::string_view text, size_t start1, size_t& blankAt) {
    blankAt = 0;
    size_t i = start1 < 1 ? 0 : start1 - 1;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i >= text.size()) return "";
    size_t end = text.find(' ', i);
    if (end == std::string_view::npos) return std::string(text.substr(i));
    blankAt = end + 1;
    return std::string(text.substr(i, end - i));
}

}  // namespace vantor

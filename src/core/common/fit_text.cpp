#include "common/fit_text.h"

#include <vector>

namespace vantor {

std::string FitTextToWidth(const std::string& text, int width,
                           const std::function<int(const std::string&)>& measure) {
    if (measure(text) <= width) return text;
    // Byte offsets where a character ends: the candidate cuts, shortest first.
    std::vector<size_t> ends;
    for (size_t i = 1; i <= text.size(); ++i)
        if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ends.push_back(i);
    // Widths grow with the length, so the longest fitting cut is found by halving.
    size_t low = 0, high = ends.size();  // cuts [0, low) fit; [high, end) do not
    while (low < high) {
        size_t mid = (low + high) / 2;
        if (measure(text.substr(0, ends[mid])) <= width)
            low = mid + 1;
        else
            high = mid;
    }
    return low == 0 ? std::string() : text.substr(0, ends[low - 1]);
}

}  // namespace vantor

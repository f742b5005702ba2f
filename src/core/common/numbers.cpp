#include "common/numbers.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vantor {

double LeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digitsStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    bool any = i > digitsStart;
    if (i < text.size() && text[i] == '.') {
        size_t frac = i + 1;
        size_t j = frac;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        if (j > frac || any) {
            any = any || j > frac;
            i = j;
        }
    }
    if (!any) return 0.0;
    std::string number(text.substr(start, i - start));
    return std::strtod(number.c_str(), nullptr);
}

std::optional<double> ParseNumber(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    if (b == e) return std::nullopt;
    std::string_view t = text.substr(b, e - b);
    size_t i = 0;
    if (t[i] == '+' || t[i] == '-') ++i;
    size_t digits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        size_t expDigits = 0;
        while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j, ++expDigits;
        if (expDigits == 0) return std::nullopt;
        i = j;
    }
    if (i != t.size()) return std::nullopt;
    return std::strtod(std::string(t).c_str(), nullptr);
}

bool IsNumericText(std::string_view text) { return ParseNumber(text).has_value(); }

double RoundHalfEven(double value) { return std::nearbyint(value); }

std::optional<int16_t> ToInt16(double value) {
    double r = RoundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0)) return std::nullopt;
    return static_cast<int16_t>(r);
}

std::optional<int32_t> ToInt32(double value) {
    double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::nullopt;
    return static_cast<int32_t>(r);
}

int64_t SaturatedInt64(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
    if (value <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

int32_t SaturatedInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string IntText(long long value) { return std::to_string(value); }

std::string NumberText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        return std::to_string(static_cast<long long>(value));
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

std::string SingleText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    std::string result = text;
    if (result.find('e') != std::string::npos) return NumberText(static_cast<double>(value));
    return result;
}

int32_t MinOf(int32_t a, int32_t b) {
    return a < b ? a : b;
}
int32_t MaxOf(int32_t a, int32_t b) {
    return a > b ? a : b;
}
int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return MinOf(MaxOf(value, low), high);
}

bool PointNear(long x, long y, long centreX, long centreY, long tolerance) {
    return std::labs(x - centreX) <= tolerance && std::labs(y - centreY) <= tolerance;
}

}  // namespace vantor

#include "common/time_text.h"

#include <cmath>

#include "common/numbers.h"
#include "common/text.h"

namespace vantor {

namespace {

bool HasHours(int layout) {
    return layout == 1 || layout == 2 || layout == 4;
}
bool HasSeconds(int layout) {
    return layout != 4;
}
bool HasHundredths(int layout) {
    return layout == 0 || layout == 1;
}

std::string TwoDigits(long long n) {
    std::string text = std::to_string(n);
    return text.size() < 2 ? "0" + text : text;
}

std::string PadLeft(const std::string& text) {
    return text.size() < 2 ? std::string(2 - text.size(), ' ') + text : text;
}

// One group of the text. twoDigits: the value has reached the next larger unit, so this
// group is written in full even where leading zeros are suppressed.
std::string Group(long long n, int style, bool twoDigits) {
    if (style < 100) return TwoDigits(n);
    if (style == 100) return PadLeft("");
    if (twoDigits) return PadLeft(TwoDigits(n));
    return PadLeft(n == 0 ? "" : std::to_string(n));
}

bool IsBlank(const std::string& group) {
    return Trim(group).empty();
}

}  // namespace

double ParseTimeText(const std::string& text, int style) {
    if (style < 0) return 0.0;
    const std::string t = Trim(text);
    auto group = [&t](long position) { return LeadingNumber(MidOf(t, position, 2)); };
    switch (style % 10) {
        case 0:
            return group(1) * 60 + group(4) + group(7) / 100;
        case 1:
            return group(1) * 3600 + group(4) * 60 + group(7) + group(10) / 100;
        case 2:
            return group(1) * 3600 + group(4) * 60 + group(7);
        case 3:
            return group(1) * 60 + group(4);
        case 4:
            return group(1) * 3600 + group(4) * 60;
        default:
            return 0.0;
    }
}

std::string FormatTimeText(double seconds, int style) {
    if (style < 0) return "";
    const int layout = style % 10;
    if (layout > 4) return "";
    const int rounding = (style / 10) % 10;

    std::string hours, minutes, secs, hundredths;
    if (!(seconds >= 0.0 && seconds <= 86400.0)) {
        hours = minutes = secs = hundredths = "--";
    } else {
        double value = seconds;
        long long total;  // whole hundredths
        if (HasHundredths(layout)) {
            // The groups are cut from one rounded count, so that 59.996 s shows as a full
            // minute rather than 59 seconds and no hundredths.
            total = static_cast<long long>(RoundHalfEven(value * 100.0));
        } else {
            if (rounding == 0)
                value = RoundHalfEven(value);
            else if (rounding == 2)
                value = std::ceil(value);
            total = static_cast<long long>(std::floor(value)) * 100;
        }
        const long long whole = total / 100;
        hundredths = Group(total % 100, style, whole >= 1);
        secs = Group(whole % 60, style, whole >= 60);
        minutes = Group((whole / 60) % 60, style, whole >= 3600);
        hours = style < 100 ? TwoDigits(whole / 3600) : Group(whole / 3600, style, false);
    }

    std::string text;
    if (HasHours(layout) && !(style >= 200 && IsBlank(hours))) text += hours + ":";
    text += minutes;
    if (HasSeconds(layout) && !(style >= 200 && IsBlank(secs))) text += ":" + secs;
    if (HasHundredths(layout)) text += "." + hundredths;
    return text;
}

}  // namespace vantor

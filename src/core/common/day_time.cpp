#include "common/day_time.h"

#include <algorithm>
#include <climits>

#include <cmath>

#include "common/clock.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/time_text.h"

namespace vantor {

namespace {

constexpr long long kHundredthsPerDay = 8640000;
// More seconds than the whole date scale holds (ten thousand years).
constexpr double kSecondsOfDates = 86400.0 * 3700000;

// Brings the seconds into 0 .. under 86400, carrying whole days. Checked again after the
// narrowing to float, which can round 86399.999 up to 86400.
DayTime Normalised(long long day, double seconds) {
    // Seconds beyond any date (a damaged length, say) end at the date scale's ends rather
    // than overflowing the day.
    if (std::isnan(seconds)) seconds = 0;
    seconds = std::clamp(seconds, -kSecondsOfDates, kSecondsOfDates);
    long long carry = static_cast<long long>(std::floor(seconds / 86400.0));
    seconds -= static_cast<double>(carry) * 86400.0;
    day = std::clamp<long long>(day + carry, INT32_MIN, INT32_MAX);
    float narrow = static_cast<float>(seconds);
    if (narrow >= 86400.0f) {
        narrow -= 86400.0f;
        ++day;
    }
    if (narrow < 0.0f) narrow = 0.0f;
    return DayTime{static_cast<int32_t>(day), narrow};
}

// Whole days and the remainder in hundredths of a second, both cut from one rounded count
// so that a remainder that rounds up to a full day is carried rather than lost.
void Split(double seconds, long long& days, double& remainder) {
    long long hundredths = SaturatedInt64(RoundHalfEven(seconds * 100.0));
    days = hundredths / kHundredthsPerDay;
    remainder = static_cast<double>(hundredths % kHundredthsPerDay) / 100.0;
}

}  // namespace

DayTime DayTimeNow(const Clock& clock, bool toHour) {
    OleDate now = clock.Now();
    DayTime stamp;
    stamp.day = static_cast<int32_t>(std::floor(now));
    double seconds = (now - std::floor(now)) * 86400.0;
    if (toHour) {
        long long whole = static_cast<long long>(std::floor(seconds));
        seconds = static_cast<double>(whole - whole % 3600);
    }
    stamp.seconds = static_cast<float>(seconds);
    if (stamp.seconds >= 86400.0f) stamp.seconds = std::nextafter(86400.0f, 0.0f);
    return stamp;
}

bool DayTimeEqual(const DayTime& a, const DayTime& b) {
    return a.day == b.day && a.seconds == b.seconds;
}

bool DayTimeAfter(const DayTime& a, const DayTime& b) {
    return a.day > b.day || (a.day == b.day && a.seconds > b.seconds);
}

bool DayTimeBefore(const DayTime& a, const DayTime& b) {
    return DayTimeAfter(b, a);
}

bool DayTimeAtLeast(const DayTime& a, const DayTime& b) {
    return !DayTimeBefore(a, b);
}

DayTime DayTimeAddSeconds(const DayTime& stamp, double seconds) {
    long long days;
    double remainder;
    Split(seconds, days, remainder);
    return Normalised(stamp.day + days, static_cast<double>(stamp.seconds) + remainder);
}

DayTime DayTimeSubtractSeconds(const DayTime& stamp, double seconds) {
    long long days;
    double remainder;
    Split(seconds, days, remainder);
    return Normalised(stamp.day - days, static_cast<double>(stamp.seconds) - remainder);
}

double DayTimeSecondsSince(const DayTime& stamp, const Clock& clock) {
    DayTime now = DayTimeNow(clock, false);
    return static_cast<double>(now.day - stamp.day) * 86400.0 +
           (static_cast<double>(now.seconds) - static_cast<double>(stamp.seconds));
}

std::string DayTimeLongText(const DayTime& stamp, int style) {
    return LongDateText(stamp.day) + " " + FormatTimeText(stamp.seconds, style);
}

std::string DayTimeShortText(const DayTime& stamp, int style) {
    return ShortDateText(stamp.day) + " " + FormatTimeText(stamp.seconds, style);
}

}  // namespace vantor

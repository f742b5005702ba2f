#include "common/ole_date.h"

#include <algorithm>
#include <cmath>

namespace vantor {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

// 1899-12-30 counted from 1970-01-01.
constexpr long long kOleEpoch = -25569;

}  // namespace

int DateSerial(int year, int month, int day) {
    // Normalise the month first, then let the day count run over month ends.
    long long m0 = static_cast<long long>(month) - 1;
    long long y = year + (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
    long long m = ((m0 % 12) + 12) % 12 + 1;
    return static_cast<int>(DaysFromCivil(y, static_cast<unsigned>(m), 1) - kOleEpoch + day - 1);
}

OleDate WithinDateScale(OleDate date) {
    // 1 January 100 to 31 December 9999, the scale's own bounds; a stored date beyond them is
    // damage, shown as the nearest end rather than converted past the integer range.
    constexpr OleDate kFirst = -657434.0;
    constexpr OleDate kLast = 2958465.99999;
    if (std::isnan(date)) return 0;
    return std::clamp(date, kFirst, kLast);
}

double TimeSerial(int hour, int minute, int second) {
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

DateParts SplitDate(OleDate date) {
    DateParts parts;
    date = WithinDateScale(date);
    double whole = std::floor(date);
    long long secs = std::llround((date - whole) * 86400.0);
    long long days = static_cast<long long>(whole);
    if (secs >= 86400) {
        secs -= 86400;
        ++days;
    }
    CivilFromDays(days + kOleEpoch, parts.year, parts.month, parts.day);
    parts.hour = static_cast<int>(secs / 3600);
    parts.minute = static_cast<int>((secs / 60) % 60);
    parts.second = static_cast<int>(secs % 60);
    return parts;
}

OleDate JoinDate(const DateParts& p) {
    return DateSerial(p.year, p.month, p.day) + TimeSerial(p.hour, p.minute, p.second);
}

int YearOf(OleDate date) { return SplitDate(date).year; }
int MonthOf(OleDate date) { return SplitDate(date).month; }
int DayOf(OleDate date) { return SplitDate(date).day; }
int HourOf(OleDate date) { return SplitDate(date).hour; }
int MinuteOf(OleDate date) { return SplitDate(date).minute; }
int SecondOf(OleDate date) { return SplitDate(date).second; }

int WeekdayOf(OleDate date) {
    // Day 0 (30 December 1899) was a Saturday.
    long long d = static_cast<long long>(std::floor(WithinDateScale(date)));
    int w = static_cast<int>(((d + 6) % 7 + 7) % 7);  // 0 = Sunday
    return w + 1;
}

int IsoWeekdayOf(OleDate date) {
    int w = WeekdayOf(date);  // 1 = Sunday
    return w == 1 ? 7 : w - 1;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) return 29;
    return kDays[(month - 1 + 1200) % 12];
}

int HourOfWeek(OleDate dateTime) {
    // Weekday and hour from the same rounded time, so 23:59:59.7 on a Sunday does not give
    // Sunday's weekday with Monday's hour.
    DateParts parts = SplitDate(dateTime);
    int weekday = IsoWeekdayOf(DateSerial(parts.year, parts.month, parts.day));
    return (weekday - 1) * 24 + parts.hour;
}

}  // namespace vantor

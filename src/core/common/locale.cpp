#include "common/locale.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "common/numbers.h"
#include "common/text.h"

namespace vantor {

namespace {

const char* const kMonths[12] = {"January",   "February", "March",    "April",
                                 "May",       "June",     "July",     "August",
                                 "September", "October",  "November", "December"};
const char* const kWeekdays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};

std::mutex& LocaleMutex() {
    static std::mutex mutex;
    return mutex;
}

DateLocale& LocaleSlot() {
    static DateLocale locale = [] {
        for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
            const char* value = std::getenv(name);
            if (value && *value) return DateLocaleFromName(value);
        }
        return DateLocale{};
    }();
    return locale;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Month 1..12 of a full English month name or its first three letters; 0 otherwise.
int MonthOfName(const std::string& word) {
    for (int m = 0; m < 12; ++m) {
        std::string full = kMonths[m];
        if (EqualsNoCase(word, full) || EqualsNoCase(word, full.substr(0, 3))) return m + 1;
    }
    // "Sept" is common enough in hand-typed dates to be worth accepting.
    return EqualsNoCase(word, "Sept") ? 9 : 0;
}

bool IsWeekdayName(const std::string& word) {
    for (const char* name : kWeekdays) {
        std::string full = name;
        if (EqualsNoCase(word, full) || EqualsNoCase(word, full.substr(0, 3))) return true;
    }
    return false;
}

struct NumberToken {
    int value = 0;
    size_t digits = 0;
};

// Two-digit years: 00-29 are this century, 30-99 the last one.
std::optional<int> FullYear(const NumberToken& token) {
    if (token.digits <= 2) return token.value < 30 ? 2000 + token.value : 1900 + token.value;
    if (token.value < 100 || token.value > 9999) return std::nullopt;
    return token.value;
}

bool CouldBeYear(const NumberToken& token) {
    return token.digits > 2 || token.value > 31;
}

std::optional<int> ValidDate(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    return DateSerial(year, month, day);
}

// Day and month in a given order, swapped when the locale's order cannot be right
// ("13/1/2000" in a month-first locale), as a desktop parser does.
std::optional<int> DayMonthYear(const NumberToken& first, const NumberToken& second, int year,
                                DateOrder order) {
    int day = first.value, month = second.value;
    if (order == DateOrder::MonthDayYear) std::swap(day, month);
    if (auto d = ValidDate(year, month, day)) return d;
    return ValidDate(year, day, month);
}

struct TimeOfDay {
    bool present = false;
    int hour = 0, minute = 0, second = 0;
};

}  // namespace

DateLocale DateLocaleFromName(const std::string& localeName) {
    std::string name = localeName.substr(0, localeName.find_first_of(".@"));
    DateLocale locale;
    if (EqualsNoCase(name, "en_US")) {
        locale.order = DateOrder::MonthDayYear;
        locale.shortDatePattern = "m/d/yyyy";
        locale.longDatePattern = "dddd, mmmm dd, yyyy";
    }
    return locale;
}

const DateLocale& CurrentDateLocale() {
    std::lock_guard<std::mutex> lock(LocaleMutex());
    return LocaleSlot();
}

void SetDateLocale(const DateLocale& locale) {
    std::lock_guard<std::mutex> lock(LocaleMutex());
    LocaleSlot() = locale;
}

std::optional<OleDate> ParseDate(const std::string& input, int thisYear) {
    const std::string text = Trim(input);
    if (text.empty()) return std::nullopt;

    std::vector<NumberToken> numbers;
    int monthFromName = 0;
    TimeOfDay time;
    int meridian = 0;  // 1 AM, 2 PM

    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (IsDigit(c)) {
            size_t start = i;
            while (i < text.size() && IsDigit(text[i])) ++i;
            std::string digits = text.substr(start, i - start);
            if (digits.size() > 4) return std::nullopt;
            int value = std::atoi(digits.c_str());
            if (i < text.size() && text[i] == ':') {
                // A time: hh:mm[:ss]
                if (time.present) return std::nullopt;
                time.present = true;
                time.hour = value;
                int parts[2] = {-1, 0};
                for (int k = 0; k < 2 && i < text.size() && text[i] == ':'; ++k) {
                    size_t s = ++i;
                    while (i < text.size() && IsDigit(text[i])) ++i;
                    if (i == s || i - s > 2) return std::nullopt;
                    parts[k] = std::atoi(text.substr(s, i - s).c_str());
                }
                time.minute = parts[0];
                time.second = parts[1];
                continue;
            }
            numbers.push_back({value, digits.size()});
            continue;
        }
        if (IsLetter(c)) {
            size_t start = i;
            while (i < text.size() && IsLetter(text[i])) ++i;
            std::string word = text.substr(start, i - start);
            if (EqualsNoCase(word, "AM") || EqualsNoCase(word, "A")) {
                if (!time.present || meridian) return std::nullopt;
                meridian = 1;
            } else if (EqualsNoCase(word, "PM") || EqualsNoCase(word, "P")) {
                if (!time.present || meridian) return std::nullopt;
                meridian = 2;
            } else if (int month = MonthOfName(word)) {
                if (monthFromName) return std::nullopt;
                monthFromName = month;
            } else if (!IsWeekdayName(word)) {
                return std::nullopt;
            }
            // A full stop after an abbreviation ("Mar. 7") is part of the word.
            if (i < text.size() && text[i] == '.') ++i;
            continue;
        }
        if (c == '/' || c == '-' || c == '.' || c == ',' || c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        return std::nullopt;
    }

    // The time of day.
    double fraction = 0.0;
    if (time.present) {
        if (meridian) {
            if (time.hour < 1 || time.hour > 12) return std::nullopt;
            time.hour = time.hour % 12 + (meridian == 2 ? 12 : 0);
        }
        if (time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second > 59)
            return std::nullopt;
        fraction = TimeSerial(time.hour, time.minute, time.second);
    }

    const DateOrder order = CurrentDateLocale().order;
    std::optional<int> day;
    if (monthFromName) {
        if (numbers.empty() || numbers.size() > 2) return std::nullopt;
        if (numbers.size() == 1) {
            if (CouldBeYear(numbers[0])) {  // "March 2000": the first of the month
                auto year = FullYear(numbers[0]);
                if (!year) return std::nullopt;
                day = ValidDate(*year, monthFromName, 1);
            } else {
                day = ValidDate(thisYear, monthFromName, numbers[0].value);
            }
        } else {
            NumberToken dayToken = numbers[0], yearToken = numbers[1];
            if (CouldBeYear(dayToken) && !CouldBeYear(yearToken)) std::swap(dayToken, yearToken);
            auto year = FullYear(yearToken);
            if (!year) return std::nullopt;
            day = ValidDate(*year, monthFromName, dayToken.value);
        }
    } else if (numbers.size() == 3) {
        if (numbers[0].digits > 2) {  // ISO yyyy-mm-dd
            auto year = FullYear(numbers[0]);
            if (!year) return std::nullopt;
            day = ValidDate(*year, numbers[1].value, numbers[2].value);
        } else {
            auto year = FullYear(numbers[2]);
            if (!year) return std::nullopt;
            day = DayMonthYear(numbers[0], numbers[1], *year, order);
        }
    } else if (numbers.size() == 2) {
        if (CouldBeYear(numbers[1])) {  // "3/2000": month and year
            auto year = FullYear(numbers[1]);
            if (!year) return std::nullopt;
            day = ValidDate(*year, numbers[0].value, 1);
        } else {
            day = DayMonthYear(numbers[0], numbers[1], thisYear, order);
        }
    } else if (numbers.empty() && time.present) {
        day = 0;  // a time alone is a time on day zero
    } else {
        return std::nullopt;
    }
    if (!day) return std::nullopt;
    return *day + fraction;
}

bool IsDateText(const std::string& text, int thisYear) {
    return ParseDate(text, thisYear).has_value();
}

std::string MonthNameOf(int month) {
    if (month < 1 || month > 12) return "";
    return kMonths[month - 1];
}

std::string WeekdayNameOf(int weekday) {
    if (weekday < 1 || weekday > 7) return "";
    return kWeekdays[weekday - 1];
}

std::string FormatDate(OleDate date, const std::string& pattern) {
    const DateParts p = SplitDate(date);
    const bool twelveHour = FindNoCase(pattern, "AM/PM") != std::string::npos ||
                            FindNoCase(pattern, "A/P") != std::string::npos;
    auto two = [](int n) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%02d", n);
        return std::string(buffer);
    };
    auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };

    // Where each "m" run stands for minutes: right after an hour, or right before seconds.
    std::string out;
    char lastTimeToken = 0;  // 'h' after an hour, otherwise the last date/time letter
    size_t i = 0;
    while (i < pattern.size()) {
        char c = pattern[i];
        char lc = lower(c);
        if (c == '"') {
            size_t close = pattern.find('"', i + 1);
            out += pattern.substr(i + 1,
                                  close == std::string::npos ? std::string::npos : close - i - 1);
            i = close == std::string::npos ? pattern.size() : close + 1;
            continue;
        }
        if (c == '\\' && i + 1 < pattern.size()) {
            out += pattern[i + 1];
            i += 2;
            continue;
        }
        if (StartsWithNoCase(std::string_view(pattern).substr(i), "AM/PM")) {
            bool small = pattern[i] == 'a';
            out += p.hour < 12 ? (small ? "am" : "AM") : (small ? "pm" : "PM");
            i += 5;
            continue;
        }
        if (StartsWithNoCase(std::string_view(pattern).substr(i), "A/P")) {
            bool small = pattern[i] == 'a';
            out += p.hour < 12 ? (small ? "a" : "A") : (small ? "p" : "P");
            i += 3;
            continue;
        }
        if (lc != 'd' && lc != 'm' && lc != 'y' && lc != 'h' && lc != 'n' && lc != 's') {
            out += c;
            ++i;
            continue;
        }
        size_t run = 1;
        while (i + run < pattern.size() && lower(pattern[i + run]) == lc) ++run;
        switch (lc) {
            case 'd':
                if (run == 1)
                    out += std::to_string(p.day);
                else if (run == 2)
                    out += two(p.day);
                else if (run == 3)
                    out += WeekdayNameOf(WeekdayOf(date)).substr(0, 3);
                else if (run == 4)
                    out += WeekdayNameOf(WeekdayOf(date));
                else if (run == 5)
                    out += FormatDate(date, CurrentDateLocale().shortDatePattern);
                else
                    out += FormatDate(date, CurrentDateLocale().longDatePattern);
                break;
            case 'm': {
                bool minutes = run <= 2 && lastTimeToken == 'h';
                if (run <= 2 && !minutes) {
                    // Minutes also when seconds follow with only separators between.
                    size_t k = i + run;
                    while (k < pattern.size() && !IsLetter(pattern[k]) && pattern[k] != '"') ++k;
                    minutes = k < pattern.size() && lower(pattern[k]) == 's';
                }
                if (minutes)
                    out += run == 1 ? std::to_string(p.minute) : two(p.minute);
                else if (run == 1)
                    out += std::to_string(p.month);
                else if (run == 2)
                    out += two(p.month);
                else if (run == 3)
                    out += MonthNameOf(p.month).substr(0, 3);
                else
                    out += MonthNameOf(p.month);
                break;
            }
            case 'y':
                if (run == 1) {
                    out += std::to_string(SaturatedInt32(std::floor(WithinDateScale(date))) -
                                          DateSerial(p.year, 1, 1) + 1);
                } else if (run <= 3) {
                    out += two(p.year % 100);
                } else {
                    char buffer[16];
                    std::snprintf(buffer, sizeof buffer, "%04d", p.year);
                    out += buffer;
                }
                break;
            case 'h': {
                int hour = p.hour;
                if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
                out += run == 1 ? std::to_string(hour) : two(hour);
                break;
            }
            case 'n':
                out += run == 1 ? std::to_string(p.minute) : two(p.minute);
                break;
            case 's':
                out += run == 1 ? std::to_string(p.second) : two(p.second);
                break;
        }
        lastTimeToken = lc;
        i += run;
    }
    return out;
}

std::string ShortDateText(OleDate date) {
    return FormatDate(date, "ddddd");
}
std::string LongDateText(OleDate date) {
    return FormatDate(date, "dddddd");
}

std::string MonthName(int month) {
    return MonthNameOf(month);
}

}  // namespace vantor

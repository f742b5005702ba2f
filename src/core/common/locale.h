#pragma once
// The workstation's date conventions. The C/POSIX locale and every English locale but en_US
// read dates day-month-year and write short dates "dd/mm/yyyy" and long dates "dd mmmm yyyy";
// en_US reads month-day-year and writes "m/d/yyyy" and "dddd, mmmm dd, yyyy". The locale is
// taken from LC_ALL, LC_TIME or LANG at first use; tests may set it.

#include <optional>
#include <string>

#include "common/ole_date.h"

namespace vantor {

enum class DateOrder { DayMonthYear, MonthDayYear };

struct DateLocale {
    DateOrder order = DateOrder::DayMonthYear;
    std::string shortDatePattern = "dd/mm/yyyy";
    std::string longDatePattern = "dd mmmm yyyy";
};

// The locale in force; SetDateLocale replaces it (for tests, or a "--locale" choice).
const DateLocale& CurrentDateLocale();
void SetDateLocale(const DateLocale& locale);
DateLocale DateLocaleFromName(const std::string& localeName);  // "en_US.UTF-8", "C", ...

// Parses a date (and optional time) as leniently as a desktop date parser: numbers separated
// by "/", "-", "." or blanks in the locale's order, ISO yyyy-mm-dd, month names or their first
// three letters in any position ("7 March 2000", "Mar 7 2000"), an optional time "hh:mm[:ss]"
// with optional AM/PM. Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999. A day and
// month alone take the current year (from thisYear). nullopt when the text is not a date.
std::optional<OleDate> ParseDate(const std::string& text, int thisYear);
bool IsDateText(const std::string& text, int thisYear);

// Formats with the patterns d dd ddd dddd ddddd (short date) dddddd (long date) m mm mmm mmmm
// yy yyyy h hh n nn s ss ("m"/"mm" right after an hour mean minutes), AM/PM; other
// characters are copied, text in double quotes is copied without the quotes.
std::string FormatDate(OleDate date, const std::string& pattern);
std::string ShortDateText(OleDate date);  // "ddddd"
std::string LongDateText(OleDate date);   // "dddddd"
std::string MonthNameOf(int month);       // "January" .. "December"
std::string WeekdayNameOf(int weekday);   // 1 = "Sunday" .. 7 = "Saturday"

// The full month name of month 1..12 ("" otherwise).
std::string MonthName(int month);

}  // namespace vantor

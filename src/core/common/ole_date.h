#pragma once
// Dates as the installation's files and databases hold them: the OLE Automation serial, a
// double counting days from 30 December 1899 with the time of day as the fraction.

namespace vantor {

using OleDate = double;

struct DateParts {
    int year = 1899;
    int month = 12;  // 1..12
    int day = 30;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Whole day number of a calendar date. Months and days out of range roll over the way a
// desktop DateSerial does (month 13 is January of the next year, day 0 the previous month's
// last day).
int DateSerial(int year, int month, int day);
// Seconds as a fraction of a day.
double TimeSerial(int hour, int minute, int second);
// Breaks a serial into calendar date and time of day (seconds rounded to the nearest whole).
DateParts SplitDate(OleDate date);
// The date held within the scale's bounds (years 100 to 9999); 0 for NaN.
OleDate WithinDateScale(OleDate date);
OleDate JoinDate(const DateParts& parts);

int YearOf(OleDate date);
int MonthOf(OleDate date);
int DayOf(OleDate date);
int HourOf(OleDate date);
int MinuteOf(OleDate date);
int SecondOf(OleDate date);
// 1 = Sunday .. 7 = Saturday, the runtime's default first weekday.
int WeekdayOf(OleDate date);
// 1 = Monday .. 7 = Sunday.
int IsoWeekdayOf(OleDate date);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// (weekday counted from Monday = 1, minus 1) * 24 + hour: 0 for Monday 00:00 .. 167 for
// Sunday 23:00.
int HourOfWeek(OleDate dateTime);

}  // namespace vantor

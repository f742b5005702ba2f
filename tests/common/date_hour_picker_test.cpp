#include <gtest/gtest.h>

#include <string>

#include "common/clock.h"
#include "common/date_hour_picker_model.h"
#include "common/ole_date.h"

namespace vantor {
namespace {

std::string Stamp(int year, int month, int day, const std::string& hour) {
    return std::to_string(DateSerial(year, month, day)) + hour;
}

TEST(DateHourPicker, EmptyTagProposesTheHourBeforeNow) {
    struct Case {
        int hour, minute;
        int expectedDay, expectedHour;
    } cases[] = {
        {10, 30, 14, 9},
        {0, 15, 13, 23},  // just after midnight: yesterday's last hour
        {1, 0, 14, 0},
    };
    for (const Case& c : cases) {
        FixedClock clock(2026, 3, 14, c.hour, c.minute);
        DateHourPickerModel picker(clock);
        picker.Activate();
        EXPECT_EQ(picker.Day(), c.expectedDay) << c.hour << ":" << c.minute;
        EXPECT_EQ(picker.Month(), 3);
        EXPECT_EQ(picker.Year(), 2026);
        EXPECT_EQ(picker.Hour(), c.expectedHour);
        EXPECT_EQ(picker.HourText(), c.expectedHour < 10 ? "0" + std::to_string(c.expectedHour)
                                                         : std::to_string(c.expectedHour));
    }
    // On the first of a month the day before is the previous month's last.
    FixedClock newYear(2026, 1, 1, 0, 5);
    DateHourPickerModel picker(newYear);
    picker.Activate();
    EXPECT_EQ(picker.Year(), 2025);
    EXPECT_EQ(picker.Month(), 12);
    EXPECT_EQ(picker.Day(), 31);
    EXPECT_EQ(picker.Hour(), 23);
}

TEST(DateHourPicker, ReadsTheTagWithOrWithoutLeadingZeroAndMinutes) {
    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel picker(clock);
    picker.tag = Stamp(2024, 7, 9, "5");  // the main window writes the hour without a zero
    picker.Activate();
    EXPECT_EQ(picker.Day(), 9);
    EXPECT_EQ(picker.Month(), 7);
    EXPECT_EQ(picker.Year(), 2024);
    EXPECT_EQ(picker.Hour(), 5);
    EXPECT_EQ(picker.HourText(), "05");
    EXPECT_EQ(picker.minutesText, "00");

    DateHourPickerModel withMinutes(clock);
    withMinutes.returnMinutes = true;
    withMinutes.tag = Stamp(2024, 7, 9, "17:05");
    withMinutes.Activate();
    EXPECT_EQ(withMinutes.Hour(), 17);
    EXPECT_FALSE(withMinutes.IsMorning());
    EXPECT_EQ(withMinutes.minutesText, "05");
    withMinutes.Ok();
    EXPECT_EQ(withMinutes.tag, Stamp(2024, 7, 9, "17:05"));
}

TEST(DateHourPicker, AYearOutsideTheCalendarOpensOnTheSameDayThisYear) {
    FixedClock clock(2026, 3, 14, 10, 0);
    struct Case {
        std::string tag;
        int month, day;
    } cases[] = {
        {Stamp(1979, 8, 21, "06"), 8, 21},
        {"0000006", 12, 30},  // day 0 is 30 December 1899
        {"abc", 12, 30},
    };
    for (const Case& c : cases) {
        DateHourPickerModel picker(clock);
        picker.tag = c.tag;
        picker.Activate();
        EXPECT_EQ(picker.Year(), 2026) << c.tag;
        EXPECT_EQ(picker.Month(), c.month) << c.tag;
        EXPECT_EQ(picker.Day(), c.day) << c.tag;
    }
}

TEST(DateHourPicker, ShortMonthsMoveTheChosenDayToTheirLastDay) {
    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel picker(clock);
    picker.tag = Stamp(2026, 1, 31, "08");
    picker.Activate();
    picker.SelectMonth(4);
    EXPECT_EQ(picker.DaysInShownMonth(), 30);
    EXPECT_EQ(picker.Day(), 30);
    picker.Ok();
    EXPECT_EQ(picker.tag, Stamp(2026, 4, 30, "08"));
}

TEST(DateHourPicker, FebruaryFollowsTheLeapYears) {
    struct Case {
        int year, days;
    } cases[] = {{2000, 29}, {1999, 28}, {2024, 29}, {2100, 28}, {2400, 29}};
    for (const Case& c : cases) EXPECT_EQ(DateHourPickerModel::MonthLength(c.year, 2), c.days);

    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel picker(clock);
    picker.tag = Stamp(2000, 2, 29, "12");
    picker.Activate();
    EXPECT_EQ(picker.Day(), 29);
    picker.SetYear(1999);
    EXPECT_EQ(picker.Day(), 28);
    picker.Ok();
    EXPECT_EQ(picker.tag, Stamp(1999, 2, 28, "12"));
}

TEST(DateHourPicker, CalendarRunsFromSundayAndKeepsTheYearInRange) {
    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel picker(clock);
    picker.tag = Stamp(2000, 3, 15, "00");  // 1 March 2000 was a Wednesday
    picker.Activate();
    EXPECT_EQ(picker.FirstDayColumn(), 3);
    EXPECT_EQ(picker.DayInCell(2), 0);
    EXPECT_EQ(picker.DayInCell(3), 1);
    EXPECT_EQ(picker.DayInCell(33), 31);
    EXPECT_EQ(picker.DayInCell(34), 0);
    EXPECT_EQ(picker.ChosenCell(), 17);
    EXPECT_TRUE(DateHourPickerModel::IsSundayCell(7));
    picker.ClickCell(2);  // empty cell: nothing changes
    EXPECT_EQ(picker.Day(), 15);
    picker.ClickCell(9);
    EXPECT_EQ(picker.Day(), 7);

    // A month that starts on a Saturday and has 31 days uses the 37th cell.
    picker.SetYear(2025);
    picker.SelectMonth(3);
    EXPECT_EQ(picker.FirstDayColumn(), 6);
    EXPECT_EQ(picker.DayInCell(DateHourPickerModel::kDayCells - 1), 31);

    picker.SetYear(1975);
    EXPECT_EQ(picker.Year(), DateHourPickerModel::kFirstYear);
    picker.SetYear(3100);
    EXPECT_EQ(picker.Year(), DateHourPickerModel::kLastYear);
}

TEST(DateHourPicker, ClockClickKeepsTheHalfOfTheDay) {
    struct Case {
        double dx, dy;
        int position;  // 0 = twelve o'clock
    } cases[] = {
        {0, -10, 0},   {10, 0, 3},      {0, 10, 6},   {-10, 0, 9},
        {5, -8.66, 1}, {-5, -8.66, 11}, {-1, -10, 0},  // just left of twelve rounds back to twelve
    };
    FixedClock clock(2026, 3, 14, 10, 0);
    for (const Case& c : cases) {
        for (int startHour : {4, 16}) {
            DateHourPickerModel picker(clock);
            picker.tag = Stamp(2026, 3, 14, std::to_string(startHour));
            picker.Activate();
            picker.ClickClock(c.dx, c.dy);
            const int expected = c.position + (startHour >= 12 ? 12 : 0);
            EXPECT_EQ(picker.Hour(), expected) << c.dx << "," << c.dy << " from " << startHour;
            EXPECT_EQ(picker.IsMorning(), startHour < 12);
        }
    }
    DateHourPickerModel dayOnly(clock);
    dayOnly.tag = Stamp(2026, 3, 14, "04");
    dayOnly.DisableTime();
    dayOnly.Activate();
    dayOnly.ClickClock(10, 0);
    EXPECT_EQ(dayOnly.Hour(), 4);
}

TEST(DateHourPicker, HourFieldTakesDigitsOnly) {
    EXPECT_EQ(DateHourPickerModel::FilterHourKey('7'), '7');
    EXPECT_EQ(DateHourPickerModel::FilterHourKey(8), 8);
    EXPECT_EQ(DateHourPickerModel::FilterHourKey(27), 27);
    EXPECT_EQ(DateHourPickerModel::FilterHourKey('a'), 0);
    EXPECT_EQ(DateHourPickerModel::FilterHourKey('.'), 0);
    EXPECT_EQ(DateHourPickerModel::FilterHourKey(13), 0);

    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel picker(clock);
    picker.Activate();
    picker.SetHourText("7");
    EXPECT_EQ(picker.Hour(), 7);
    picker.Ok();
    EXPECT_EQ(picker.tag, Stamp(2026, 3, 14, "07"));
}

TEST(DateHourPicker, CancelEmptiesTheTagAndBothEndingsReset) {
    FixedClock clock(2026, 3, 14, 10, 0);
    DateHourPickerModel picker(clock);
    picker.tag = Stamp(2026, 5, 2, "18:30");
    picker.returnMinutes = true;
    picker.caption = "Select Start";
    picker.Activate();
    picker.SelectMonth(6);
    picker.SetHourText("21");
    picker.Cancel();
    EXPECT_EQ(picker.tag, "");
    EXPECT_EQ(picker.caption, DateHourPickerModel::kCaption);
    EXPECT_EQ(picker.minutesText, "00");
    EXPECT_FALSE(picker.returnMinutes);
    EXPECT_FALSE(picker.Initialised());

    // Shown again, it reads the new caller's tag rather than keeping the cancelled choice.
    picker.tag = Stamp(2026, 8, 1, "03");
    picker.Activate();
    EXPECT_EQ(picker.Month(), 8);
    EXPECT_EQ(picker.Hour(), 3);
    picker.returnMinutes = true;
    picker.minutesText = "59";
    picker.Ok();
    EXPECT_EQ(picker.tag, Stamp(2026, 8, 1, "03:59"));
    EXPECT_EQ(picker.minutesText, "00");
    EXPECT_FALSE(picker.returnMinutes);
    EXPECT_FALSE(picker.Initialised());
}

}  // namespace
}  // namespace vantor

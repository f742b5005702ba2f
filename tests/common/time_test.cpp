#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "common/clock.h"
#include "common/day_time.h"
#include "common/locale.h"
#include "common/time_text.h"

namespace vantor {
namespace {

// "Now" is whole seconds, as the runtime's is: a stamp written from it never runs ahead of the
// second it was taken in, and a run started in the last half second of a day is stamped with
// that day.
TEST(SystemClock, GivesWholeSeconds) {
    SystemClock clock;
    for (int reading = 0; reading < 5; ++reading) {
        const double seconds = clock.SecondsSinceMidnight();
        EXPECT_NEAR(seconds, std::round(seconds), 1e-4) << seconds;
        std::this_thread::sleep_for(std::chrono::milliseconds(7));
    }
}

TEST(TimeText, FormatsEveryLayoutAndStyle) {
    struct Case {
        double seconds;
        int style;
        const char* text;
    } cases[] = {
        {125, 3, "02:05"},
        {125, 2, "00:02:05"},
        {125, 4, "00:02"},
        {3725.25, 1, "01:02:05.25"},
        {210.5, 0, "03:30.50"},
        {-1, 2, "--:--:--"},
        {86400.5, 0, "--:--.--"},
        {86400, 2, "24:00:00"},
        // Rounding by the tens digit, for layouts without hundredths.
        {59.5, 23, "01:00"},  // any fraction up
        {59.5, 13, "00:59"},  // cut
        {59.6, 3, "01:00"},   // nearest
        {2.5, 3, "00:02"},    // nearest, halves to even
        {59.996, 0, "01:00.00"},
        // Leading zeros suppressed from 100 on, empty groups dropped from 200 on.
        {125, 100, "  :  .  "},
        {125, 102, "  : 2:05"},
        {125, 202, " 2:05"},
        {45, 202, "  :45"},
        {0, 202, "  "},
        {3725, 202, " 1:02:05"},
        {45.5, 101, "  :  :45.50"},
        {0.25, 100, "  :  .  "},
        {0.25, 110, "  :  .25"},
        {3725, 204, " 1:02"},
        {125, 7, ""},  // no such layout
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatTimeText(c.seconds, c.style), c.text) << c.seconds << " / " << c.style;
}

TEST(TimeText, ParsesTheFixedPositionsOfEachLayout) {
    struct Case {
        const char* text;
        int style;
        double seconds;
    } cases[] = {
        {"00:02:05", 2, 125},
        {"03:30.50", 0, 210.5},
        {" 01:02:05.25 ", 1, 3725.25},
        {"02:05", 3, 125},
        {"01:30", 4, 5400},
        {"00:02:05", 202, 125},
        {"xx:02:05", 2, 125},
        {"", 2, 0},
        {"1:02:05", 2, 3725},
        {"00:02:05", 9, 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ParseTimeText(c.text, c.style), c.seconds) << c.text << " / " << c.style;
}

TEST(DayTime, ArithmeticCarriesAcrossMidnight) {
    const DayTime late{36000, 86000.0f};
    DayTime next = DayTimeAddSeconds(late, 500);
    EXPECT_EQ(next.day, 36001);
    EXPECT_FLOAT_EQ(next.seconds, 100.0f);

    DayTime back = DayTimeSubtractSeconds(DayTime{36001, 100.0f}, 200);
    EXPECT_EQ(back.day, 36000);
    EXPECT_FLOAT_EQ(back.seconds, 86300.0f);

    DayTime far = DayTimeAddSeconds(DayTime{36000, 10.0f}, 3 * 86400.0 + 20.25);
    EXPECT_EQ(far.day, 36003);
    EXPECT_FLOAT_EQ(far.seconds, 30.25f);
    // Kept to hundredths; a remainder that rounds to a whole day is carried, not dropped.
    DayTime rounded = DayTimeAddSeconds(DayTime{36000, 0.0f}, 2 * 86400.0 - 0.001);
    EXPECT_EQ(rounded.day, 36002);
    EXPECT_FLOAT_EQ(rounded.seconds, 0.0f);
    DayTime negative = DayTimeAddSeconds(DayTime{36000, 50.0f}, -100);
    EXPECT_EQ(negative.day, 35999);
    EXPECT_FLOAT_EQ(negative.seconds, 86350.0f);
}

TEST(DayTime, ComparesDayFirstAndReadsTheClock) {
    const DayTime a{100, 86399.0f}, b{101, 0.0f}, c{101, 0.0f};
    EXPECT_TRUE(DayTimeBefore(a, b));
    EXPECT_TRUE(DayTimeAfter(b, a));
    EXPECT_TRUE(DayTimeEqual(b, c));
    EXPECT_TRUE(DayTimeAtLeast(b, c));
    EXPECT_FALSE(DayTimeAtLeast(a, b));
    EXPECT_FALSE(DayTimeAfter(b, c));

    FixedClock clock(2000, 3, 7, 14, 25, 30);
    DayTime now = DayTimeNow(clock, false);
    EXPECT_EQ(now.day, DateSerial(2000, 3, 7));
    EXPECT_FLOAT_EQ(now.seconds, 14 * 3600 + 25 * 60 + 30);
    EXPECT_FLOAT_EQ(DayTimeNow(clock, true).seconds, 14 * 3600);

    DayTime yesterday{now.day - 1, now.seconds + 60};
    EXPECT_DOUBLE_EQ(DayTimeSecondsSince(yesterday, clock), 86400 - 60);
}

TEST(DayTime, TextsUseTheLocaleDateFormats) {
    SetDateLocale(DateLocaleFromName("en_GB.UTF-8"));
    const DayTime stamp{DateSerial(2000, 3, 7), 125.0f};
    EXPECT_EQ(DayTimeShortText(stamp, 2), "07/03/2000 00:02:05");
    EXPECT_EQ(DayTimeLongText(stamp, 3), "07 March 2000 02:05");
    SetDateLocale(DateLocaleFromName("en_US.UTF-8"));
    EXPECT_EQ(DayTimeShortText(stamp, 2), "3/7/2000 00:02:05");
    EXPECT_EQ(DayTimeLongText(stamp, 4), "Tuesday, March 07, 2000 00:02");
    SetDateLocale(DateLocale{});
}

TEST(Locale, ParsesDatesLikeADesktopParser) {
    const auto dmy = DateLocaleFromName("C");
    const auto mdy = DateLocaleFromName("en_US");
    struct Case {
        const DateLocale* locale;
        const char* text;
        int year, month, day;  // 0: not a date
    } cases[] = {
        {&dmy, "7/3/2000", 2000, 3, 7},
        {&mdy, "7/3/2000", 2000, 7, 3},
        {&mdy, "13/3/2000", 2000, 3, 13},  // no month 13: read the other way round
        {&dmy, "07-03-00", 2000, 3, 7},
        {&dmy, "7.3.29", 2029, 3, 7},
        {&dmy, "7 3 30", 1930, 3, 7},
        {&dmy, "7/3/99", 1999, 3, 7},
        {&mdy, "2000-03-07", 2000, 3, 7},
        {&dmy, "7 March 2000", 2000, 3, 7},
        {&mdy, "7 March 2000", 2000, 3, 7},
        {&dmy, "Mar 7 2000", 2000, 3, 7},
        {&dmy, "Tuesday, March 07, 2000", 2000, 3, 7},
        {&dmy, "7-mar-00", 2000, 3, 7},
        {&dmy, "7/3", 2024, 3, 7},  // the current year
        {&dmy, "March 2000", 2000, 3, 1},
        {&dmy, "29/2/2001", 0, 0, 0},
        {&dmy, "32/1/2000", 0, 0, 0},
        {&dmy, "7/3/2000 x", 0, 0, 0},
        {&dmy, "12", 0, 0, 0},
        {&dmy, "", 0, 0, 0},
        {&dmy, "Marchy 7 2000", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SetDateLocale(*c.locale);
        auto parsed = ParseDate(c.text, 2024);
        if (c.year == 0) {
            EXPECT_FALSE(parsed.has_value()) << c.text;
        } else {
            ASSERT_TRUE(parsed.has_value()) << c.text;
            EXPECT_EQ(*parsed, DateSerial(c.year, c.month, c.day)) << c.text;
        }
    }
    SetDateLocale(dmy);
    EXPECT_DOUBLE_EQ(*ParseDate("7/3/2000 14:05:09", 2024), JoinDate({2000, 3, 7, 14, 5, 9}));
    EXPECT_DOUBLE_EQ(*ParseDate("7/3/2000 2:05 PM", 2024), JoinDate({2000, 3, 7, 14, 5, 0}));
    EXPECT_DOUBLE_EQ(*ParseDate("12:30 am", 2024), TimeSerial(0, 30, 0));
    EXPECT_FALSE(ParseDate("7/3/2000 25:00", 2024).has_value());
    SetDateLocale(DateLocale{});
}

TEST(Locale, FormatsThePatterns) {
    SetDateLocale(DateLocale{});
    const OleDate date = JoinDate({2000, 3, 7, 14, 5, 9});
    struct Case {
        const char* pattern;
        const char* text;
    } cases[] = {
        {"d dd ddd dddd", "7 07 Tue Tuesday"},
        {"m mm mmm mmmm", "3 03 Mar March"},
        {"yy yyyy", "00 2000"},
        {"ddddd", "07/03/2000"},
        {"dddddd", "07 March 2000"},
        {"ddddd hh:nn:ss", "07/03/2000 14:05:09"},
        {"hh:mm", "14:05"},  // minutes after an hour
        {"h:nn AM/PM", "2:05 PM"},
        {"yyyymmdd", "20000307"},
        {"\"Week of\" d mmm", "Week of 7 Mar"},
        {"DD/MM/YYYY", "07/03/2000"},
        {"mm:ss", "05:09"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDate(date, c.pattern), c.text) << c.pattern;
    EXPECT_EQ(MonthNameOf(12), "December");
    EXPECT_EQ(MonthNameOf(13), "");
    EXPECT_EQ(WeekdayNameOf(1), "Sunday");
}

}  // namespace
}  // namespace vantor

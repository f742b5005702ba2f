#include <gtest/gtest.h>

#include "common/locale.h"
#include "common/ole_date.h"

namespace vantor {
namespace {

TEST(HourOfWeek, RunsFromMondayMidnightToSundayNight) {
    EXPECT_EQ(HourOfWeek(JoinDate({2000, 3, 6, 0, 30, 0})), 0);      // Monday
    EXPECT_EQ(HourOfWeek(JoinDate({2000, 3, 12, 23, 59, 0})), 167);  // Sunday
    EXPECT_EQ(HourOfWeek(JoinDate({2000, 3, 8, 13, 0, 0})), 2 * 24 + 13);
    // Half a second before Monday rounds to Monday, weekday and hour alike.
    EXPECT_EQ(HourOfWeek(DateSerial(2000, 3, 13) - 0.4 / 86400), 0);
}

TEST(OleDate, SerialsAndWeekdays) {
    EXPECT_EQ(DateSerial(1899, 12, 30), 0);
    EXPECT_EQ(DateSerial(1999, 12, 31), 36525);
    EXPECT_EQ(DateSerial(2000, 3, 0), DateSerial(2000, 2, 29));
    EXPECT_EQ(DateSerial(2000, 13, 1), DateSerial(2001, 1, 1));
    EXPECT_EQ(WeekdayOf(DateSerial(2000, 3, 6)), 2);  // a Monday
    DateParts p = SplitDate(DateSerial(2024, 2, 29) + TimeSerial(23, 59, 59));
    EXPECT_EQ(p.year, 2024);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.second, 59);
}

}  // namespace
}  // namespace vantor

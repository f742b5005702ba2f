// Damaged numbers from shared files and typed fields: bounded where they are read, reported
// where the operator can act on them, never carried into times or keys.

#include <gtest/gtest.h>

#include "common/day_time.h"
#include "import_fixture.h"
#include "playoutdb/log_table.h"

namespace vantor {
namespace {

using testing::HeaderDate;
using testing::HourOf;
using testing::ImportStation;
using testing::kMarch7;
using testing::LogRow;
using testing::SchedulerLogWriter;

// A cart list damaged in a cart's length: without a bound the start-time walk would add 3e38
// seconds to the hour, the next entry would start before the one before it and the hour would
// be 3e38 seconds long.
TEST(DamagedCarts, ALengthOutsideADayCountsAsZeroAndIsReported) {
    ImportStation station;
    testing::FixtureCart damaged{4005, "Damaged", 180};
    CartRecord record = testing::FixtureCartRecord(damaged);
    record.Length() = 3e38f;
    testing::WriteCart(station.dir / "wall/Carts5.lst", 5, record);
    SchedulerLogWriter log;
    log.Header(HeaderDate(kMarch7), 10).Item("4000", "Song A").Item("4005", "").Item("4002", "B");
    station.WriteLog(kMarch7, log);
    ASSERT_TRUE(station.Import(kMarch7, 10, 10));

    std::vector<LogRow> rows = station.RowsOfHour(kMarch7, 10);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].Num("ScheduledLength"), 0);
    EXPECT_EQ(rows[2].Text("Description1"), "Damaged");
    EXPECT_EQ(rows[1].Num("EstimatedStartTime"), 36000);
    EXPECT_EQ(rows[2].Num("EstimatedStartTime"), 36180);
    EXPECT_EQ(rows[3].Num("EstimatedStartTime"), 36180);
    EXPECT_EQ(rows[0].Num("EstimatedLength"), 380);  // the hour: 180 + 0 + 200
    EXPECT_EQ(station.ErrorLines(),
              std::vector<std::string>{DayTimeShortText(HourOf(kMarch7, 10), 4) +
                                       " - Cart 4005 is damaged: its length or timings are not "
                                       "a number of seconds within a day, so they were read "
                                       "as 0"});
}

// An end hour typed far beyond the day (the fields take any digits) ends at the day's last
// hour instead of overflowing the hour count.
TEST(DamagedRange, AnEndBeyondTheDayStopsAtItsLastHour) {
    ImportStation station;
    station.WriteLog(kMarch7,
                     SchedulerLogWriter().Header(HeaderDate(kMarch7), 23).Item("4000", "Song A"));
    DayTime start = HourOf(kMarch7, 23);
    DayTime end{kMarch7, 3.6e23f};
    ASSERT_TRUE(ImportHours(station.db, start, end, station.context));
    EXPECT_EQ(station.RowsOfHour(kMarch7, 23).size(), 2u);
    EXPECT_EQ(station.Rows().size(), 2u);
}

}  // namespace
}  // namespace vantor

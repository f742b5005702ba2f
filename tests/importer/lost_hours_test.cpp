// Hours of the requested range that bad input made impossible to find get a line of their own
// in the error report; hours a well-formed file simply does not schedule get none.

#include <gtest/gtest.h>

#include "common/day_time.h"
#include "common/locale.h"
#include "import_fixture.h"

namespace vantor {
namespace {

using testing::HeaderDate;
using testing::HourOf;
using testing::ImportStation;
using testing::kMarch7;
using testing::SchedulerLogWriter;

std::string Hour(int32_t day, int hour) {
    return DayTimeLongText(HourOf(day, hour), 4);
}

std::string LostLine(const ImportStation& station, int32_t day, int from, int to) {
    return "The following hours could not be found in the Music Log " +
           LogFileName(day, station.context.logFiles) + ": " + Hour(day, from) + " to " +
           Hour(day, to);
}

std::string GoodHeader(int hour) {
    return "+" + HeaderDate(kMarch7) + " " + (hour < 10 ? "0" : "") + std::to_string(hour) +
           "\r\n#   4000 Song\r\n";
}

TEST(LostHours, HoursBehindAnUnreadableHeaderAreReportedInRuns) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> (*expected)(const ImportStation&);
    };
    const std::string bad = "+31/02/00 07\r\n#   4000 Lost\r\n";
    Case cases[] = {
        {"one hour between good ones", GoodHeader(6) + bad + GoodHeader(9) + GoodHeader(10),
         [](const ImportStation& s) {
             // 07 and 08 stood where the unreadable header is; 11 is simply not scheduled.
             return std::vector<std::string>{LostLine(s, kMarch7, 7, 8)};
         }},
        {"nothing readable after it", GoodHeader(6) + bad + "+99/99/99 08\r\n",
         [](const ImportStation& s) {
             return std::vector<std::string>{LostLine(s, kMarch7, 7, 11)};
         }},
        {"no readable header at all", "#   4000 Song\r\nplain text\r\n",
         [](const ImportStation& s) {
             return std::vector<std::string>{LostLine(s, kMarch7, 6, 11)};
         }},
        {"a well-formed file without some hours", GoodHeader(6) + GoodHeader(9),
         [](const ImportStation&) { return std::vector<std::string>{}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportStation station;
        station.WriteLog(kMarch7, SchedulerLogWriter().Raw(c.bytes));
        ASSERT_TRUE(station.Import(kMarch7, 6, 11));
        EXPECT_EQ(station.ErrorLines(), c.expected(station));
    }
}

TEST(LostHours, AMissingDayFileIsReportedBesidesItsMessage) {
    ImportStation station;
    station.WriteLog(kMarch7 + 1, SchedulerLogWriter().Raw(GoodHeader(0)));
    ASSERT_TRUE(station.Import(kMarch7, 22, kMarch7 + 1, 0));
    EXPECT_EQ(station.ui.messages.size(), 1u);
    EXPECT_EQ(station.ErrorLines(), std::vector<std::string>{LostLine(station, kMarch7, 22, 23)});
}

TEST(LostHours, HoursAlreadyImportedAreNotLost) {
    ImportStation station;
    station.WriteLog(kMarch7, SchedulerLogWriter().Raw(GoodHeader(6) + GoodHeader(7)));
    ASSERT_TRUE(station.Import(kMarch7, 6, 7));
    // The file is damaged afterwards: the hours already in the playout log are not looked
    // for in it, so nothing is lost.
    station.WriteLog(kMarch7, SchedulerLogWriter().Raw("+31/02/00 06\r\n"));
    ASSERT_TRUE(station.Import(kMarch7, 6, 7));
    EXPECT_EQ(
        station.ErrorLines(),
        (std::vector<std::string>{
            "The following hour was already in Kora so was not re-sent : " + Hour(kMarch7, 6),
            "The following hour was already in Kora so was not re-sent : " + Hour(kMarch7, 7)}));
}

}  // namespace
}  // namespace vantor

// Hours of the requested range that bad input made impossible to find get a line of their own
// in the error report; hours a well-formed file simply does not schedule get none.

#include <sys/stat.h>
#include "support/succeeded.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/day_time.h"
#include "common/locale.h"
#include "dbengine/engine.h"
#include "import_fixture.h"
#include "importer/import_preview.h"

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

std::string GoodHeader(int hour, int32_t day = kMarch7) {
    return "+" + HeaderDate(day) + " " + (hour < 10 ? "0" : "") + std::to_string(hour) +
           "\r\n#   4000 Song\r\n";
}

TEST(LostHours, HoursBehindAnUnreadableHeaderAreReportedInRuns) {
    struct Case {
        const char* name;
        std::string bytes;
        int lostFrom, lostTo;  // the hours named lost in the range 06 to 11; -1 for none
    };
    const std::string bad = "+31/02/00 07\r\n#   4000 Lost\r\n";
    const std::string date = HeaderDate(kMarch7);
    Case cases[] = {
        // 07 and 08 stood where the unreadable header is; 11 is simply not scheduled.
        {"one hour between good ones", GoodHeader(6) + bad + GoodHeader(9) + GoodHeader(10), 7, 8},
        {"nothing readable after it", GoodHeader(6) + bad + "+99/99/99 08\r\n", 7, 11},
        {"no readable header at all", "#   4000 Song\r\nplain text\r\n", 6, 11},
        {"a well-formed file without some hours", GoodHeader(6) + GoodHeader(9), -1, -1},
        // A header of another day stands before or after every hour of this day's file.
        {"a header dated after the file's day",
         GoodHeader(6) + "+1/1/1 1\r\n#   4000 Lost\r\n" + GoodHeader(9), 7, 8},
        {"a header dated before the file's day",
         GoodHeader(6) + "+06/03/00 07\r\n#   4000 Lost\r\n" + GoodHeader(9), 7, 8},
        {"an hour that is not a number",
         GoodHeader(6) + "+" + date + " ab\r\n#   4000 Lost\r\n" + GoodHeader(9), 7, 8},
        // Cut short: the hour that ran into the end and every hour after it.
        {"a last item without its line end", GoodHeader(6) + GoodHeader(7) + "#   4000 So", 7, 11},
        {"a last header without its line end", GoodHeader(6) + "+" + date + " 07", 7, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportStation station;
        station.WriteLog(kMarch7, SchedulerLogWriter().Raw(c.bytes));

        // The preview names the same hours.
        ImportPreview preview;
        std::vector<std::string> shown;
        station.context.preview = &preview;
        station.context.previewMessages = &shown;
        ASSERT_TRUE(station.Import(kMarch7, 6, 11));
        station.context.preview = nullptr;
        station.context.previewMessages = nullptr;
        ASSERT_EQ(preview.days.size(), 1u);
        for (const PreviewHour& hour : preview.days[0].hours) {
            const int h = static_cast<int>(hour.hour.seconds / 3600);
            EXPECT_EQ(hour.lost, h >= c.lostFrom && h <= c.lostTo) << h;
        }
        EXPECT_FALSE(preview.Clean() && c.lostFrom >= 0);

        ASSERT_TRUE(station.Import(kMarch7, 6, 11));
        EXPECT_EQ(station.ErrorLines(),
                  c.lostFrom < 0 ? std::vector<std::string>{}
                                 : std::vector<std::string>{
                                       LostLine(station, kMarch7, c.lostFrom, c.lostTo)});
        // What was read whole is imported; nothing of an hour that is named lost is.
        if (c.bytes.rfind(GoodHeader(6), 0) == 0) {
            EXPECT_EQ(station.RowsOfHour(kMarch7, 6).size(), 2u);
        }
        EXPECT_TRUE(station.RowsOfHour(kMarch7, 7).empty());
    }
}

TEST(LostHours, AMissingDayFileIsReportedBesidesItsMessage) {
    ImportStation station;
    station.WriteLog(kMarch7 + 1, SchedulerLogWriter().Raw(GoodHeader(0, kMarch7 + 1)));
    ASSERT_TRUE(station.Import(kMarch7, 22, kMarch7 + 1, 0));
    EXPECT_EQ(station.ui.messages.size(), 1u);
    EXPECT_EQ(station.ErrorLines(), std::vector<std::string>{LostLine(station, kMarch7, 22, 23)});
}

// Something under a day file's name that is not a regular file is never read (a pipe would
// hold the import, a device feed it forever): the day's hours are lost and the message says
// why, not that the file is missing.
TEST(LostHours, ADayFileThatIsNotARegularFileIsNamedWithTheReason) {
    struct Case {
        const char* why;
        void (*make)(const std::string& path);
    };
    const Case cases[] = {
        {"it is a directory", [](const std::string& p) { std::filesystem::create_directory(p); }},
        {"it is a named pipe (FIFO)", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }},
        {"it is a device",
         [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); }},
        {"it is a link to a file that does not exist",
         [](const std::string& p) { std::filesystem::create_symlink(p + ".gone", p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ImportStation station;
        station.WriteLog(kMarch7 + 1, SchedulerLogWriter().Raw(GoodHeader(0, kMarch7 + 1)));
        const std::string path = LogFileName(kMarch7, station.context.logFiles);
        c.make(path);
        ASSERT_TRUE(station.Import(kMarch7, 22, kMarch7 + 1, 0));
        ASSERT_EQ(station.ui.messages.size(), 1u);
        EXPECT_EQ(station.ui.messages[0].request.text,
                  "The log file : " + path + " for " + LongDateText(kMarch7) +
                      " could not be read: " + c.why + ".");
        EXPECT_EQ(station.ui.messages[0].request.icon, MessageIcon::Warning);
        EXPECT_EQ(station.ErrorLines(), std::vector<std::string>{LostLine(station, kMarch7, 22, 23)});
        EXPECT_EQ(station.RowsOfHour(kMarch7 + 1, 0).size(), 2u);
    }
}

// Another program that holds the write lock past the busy timeout costs the hour: it must be
// named in the report, which decides the run's status, not only shown in passing.
TEST(LostHours, AnHourKeptOutByAnotherProgramsWriteLockIsLost) {
    ImportStation station;
    station.WriteLog(kMarch7, SchedulerLogWriter().Raw(GoodHeader(6)));
    Database other;
    ASSERT_THAT(other.Open(station.databasePath), Succeeded());
    ASSERT_THAT(other.BeginTrans(), Succeeded());
    ASSERT_TRUE(station.Import(kMarch7, 6, 6));
    ASSERT_THAT(other.Rollback(), Succeeded());
    const std::vector<std::string> lines = station.ErrorLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("The following hour could not be written to Kora and was lost : " +
                                 Hour(kMarch7, 6) + " - ",
                             0),
              0u)
        << lines[0];
    EXPECT_GT(lines[0].size(), lines[0].find(" - ") + 3);  // the lock's own message follows
    EXPECT_TRUE(station.RowsOfHour(kMarch7, 6).empty());
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

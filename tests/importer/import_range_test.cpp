#include "importer/import_range.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "common/clock.h"
#include "common/ole_date.h"
#include "support/scripted_user_interface.h"
#include "support/succeeded.h"
#include "session/session.h"
#include "dbengine/engine.h"
#include "playoutdb/log_table.h"
#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::InstallationOptions;
using testing::KoraInstallation;
using testing::SchedulerDate;
using testing::SchedulerLogWriter;
using testing::TempDir;

const int32_t kMarch5 = DateSerial(2000, 3, 5);
const int32_t kMarch7 = DateSerial(2000, 3, 7);
const int32_t kMarch8 = DateSerial(2000, 3, 8);
const int32_t kMarch10 = DateSerial(2000, 3, 10);

constexpr float kHourEnd = 3599.99f;

SchedulerLogWriter Hours(int32_t day, std::initializer_list<int> hours) {
    SchedulerLogWriter log;
    for (int hour : hours) log.Header(SchedulerDate(day), hour, "Clock").Item("4001", "Song");
    return log;
}

// A station on 5 March 2000 with an empty playout log.
class LogScanTest : public ::testing::Test {
  protected:
    LogScanTest() : LogScanTest(InstallationOptions{}) {}
    explicit LogScanTest(const InstallationOptions& options)
        : station_(dir_.path(), options), session_(ui_, ui_, clock_) {
        session_.locations.DataLocation = station_.dataLocation;
    }

    RangeFields Propose(const DayTime& lastScheduled) {
        RangeFields fields{"untouched", "99", "untouched", "99"};
        ProposeImportRange(session_, "KORA26.MDB", lastScheduled, fields);
        return fields;
    }

    TempDir dir_;
    KoraInstallation station_;
    ScriptedUserInterface ui_;
    FixedClock clock_{2000, 3, 5, 9, 30};
    Session session_;
};

TEST_F(LogScanTest, ScanFindsTheFirstHeaderAndTheEndOfTheLastHour) {
    std::string path = station_.WriteLog(kMarch7, Hours(kMarch7, {9, 6, 7}));
    DayTime first{1, 1}, last{1, 1};
    EXPECT_TRUE(ScanLogFile(session_, path, first, last));
    EXPECT_EQ(first.day, kMarch7);
    EXPECT_EQ(first.seconds, 6 * 3600.0f);
    EXPECT_EQ(last.day, kMarch7);
    EXPECT_EQ(last.seconds, 9 * 3600.0f + kHourEnd);
    EXPECT_FALSE(ui_.databaseProgressVisible);
    EXPECT_EQ(ui_.databaseProgressTasks.front(), "Scanning Log File..");
    EXPECT_EQ(ui_.databaseProgressValue, 100);
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
}

TEST_F(LogScanTest, ScanOfMissingEmptyHeaderlessAndDamagedFiles) {
    DayTime first{5, 5}, last{6, 6};
    EXPECT_FALSE(ScanLogFile(session_, dir_ / "missing.log", first, last));
    EXPECT_FALSE(ScanLogFile(session_, dir_.WriteFile("empty.log", ""), first, last));
    EXPECT_EQ(first.day, 5);  // untouched
    EXPECT_EQ(last.day, 6);
    EXPECT_TRUE(ui_.databaseProgressTasks.empty());

    EXPECT_TRUE(
        ScanLogFile(session_, dir_.WriteFile("notes.log", "=====\r\n#  4001\r\n"), first, last));
    EXPECT_EQ(first.day, 0);
    EXPECT_EQ(last.day, 0);

    // A header with a bad date stops the scan: what was found before it is handed out.
    SchedulerLogWriter damaged = Hours(kMarch7, {6});
    damaged.Line("+notadate 07").Line("+" + SchedulerDate(kMarch7) + " 09");
    EXPECT_FALSE(ScanLogFile(session_, damaged.Save(dir_ / "damaged.log"), first, last));
    EXPECT_EQ(first.seconds, 6 * 3600.0f);
    EXPECT_EQ(last.seconds, 6 * 3600.0f + kHourEnd);
    EXPECT_TRUE(ui_.Showed("There was a problem reading the date from the Music Log"));
    EXPECT_FALSE(ui_.databaseProgressVisible);
}

TEST(LogFileNameDate, PatternsPrefixAndSkippedNames) {
    struct Case {
        const char* name;
        const char* pattern;
        int32_t day;
    } cases[] = {
        {"VN070300.LOG", "ddmmyy", DateSerial(2000, 3, 7)},
        {"vn070300.log", "DDMMYY", DateSerial(2000, 3, 7)},
        {"VN000307.LOG", "yymmdd", DateSerial(2000, 3, 7)},
        {"VN000703.LOG", "yyddmm", DateSerial(2000, 3, 7)},
        {"VN030700.LOG", "mmddyy", DateSerial(2000, 3, 7)},
        {"VN991231.LOG", "yymmdd", DateSerial(2099, 12, 31)},
        {"VN.LOG", "ddmmyy", -1},           // a "." right after the prefix
        {"VNX.LOG", "ddmmyy", -1},          // no number
        {"XY070300.LOG", "ddmmyy", -1},     // another prefix
        {"VN001307.LOG", "yymmdd", -1},     // month 13: no date
        {"VN000231.LOG", "yymmdd", -1},     // 31 February: no date
        {"VN20000307.LOG", "yyyymmdd", 0},  // passes, but no date can be read back
    };
    for (const Case& c : cases)
        EXPECT_EQ(DayOfLogFileName(c.name, "VN", c.pattern, 2000), c.day) << c.name;
}

TEST_F(LogScanTest, FilesAfterTheScheduleGiveTheirFirstAndLastHours) {
    station_.WriteLog(kMarch7, Hours(kMarch7, {0, 1}));
    station_.WriteLog(kMarch8, Hours(kMarch8, {6, 7}));
    station_.WriteLog(kMarch10, Hours(kMarch10, {5, 20, 21}));
    // The last scheduled hour ends on 7 March, so the 7 March file is not offered again.
    RangeFields fields = Propose({kMarch7, 14 * 3600 + kHourEnd});
    EXPECT_EQ(fields.startDate, "08 March 2000");
    EXPECT_EQ(fields.startHour, "06");
    EXPECT_EQ(fields.endDate, "10 March 2000");
    EXPECT_EQ(fields.endHour, "21");
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(LogScanTest, OneFileAfterTheScheduleIsScanned) {
    station_.WriteLog(kMarch8, Hours(kMarch8, {6, 7, 8}));
    RangeFields fields = Propose({0, 0});
    EXPECT_EQ(fields.startDate, "08 March 2000");
    EXPECT_EQ(fields.startHour, "06");
    EXPECT_EQ(fields.endDate, "08 March 2000");
    EXPECT_EQ(fields.endHour, "08");
}

TEST_F(LogScanTest, ALastDayFileWithoutHeadersEndsAtElevenTheDayBefore) {
    station_.WriteLog(kMarch8, Hours(kMarch8, {6}));
    station_.WriteLog(kMarch10, SchedulerLogWriter().Line("no headers here"));
    RangeFields fields = Propose({0, 0});
    EXPECT_EQ(fields.startDate, "08 March 2000");
    EXPECT_EQ(fields.startHour, "06");
    EXPECT_EQ(fields.endDate, "09 March 2000");
    EXPECT_EQ(fields.endHour, "23");
}

// A dated name that is no readable file keeps its day in the range, whole, so that the import
// names it; left out, the day would be lost without a word.
TEST_F(LogScanTest, ADayFileThatCannotBeReadStaysInTheRange) {
    const struct {
        const char* what;
        void (*make)(const std::string& path);
    } cases[] = {
        {"directory", [](const std::string& p) { std::filesystem::create_directory(p); }},
        {"pipe", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }},
        {"link to nothing",
         [](const std::string& p) { std::filesystem::create_symlink(p + ".gone", p); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        KoraInstallation station(dir.path(), InstallationOptions{});
        session_.locations.DataLocation = station.dataLocation;
        station.WriteLog(kMarch8, Hours(kMarch8, {6}));
        c.make(station.LogPath(kMarch10));
        RangeFields fields{"untouched", "99", "untouched", "99"};
        ProposeImportRange(session_, "KORA26.MDB", {0, 0}, fields);
        EXPECT_EQ(fields.startDate, "08 March 2000");
        EXPECT_EQ(fields.startHour, "06");
        EXPECT_EQ(fields.endDate, "10 March 2000");
        EXPECT_EQ(fields.endHour, "23");
    }
}

TEST_F(LogScanTest, NoDatedFilesProposeTomorrowWithAWarning) {
    RangeFields fields = Propose({0, 0});
    EXPECT_EQ(fields.startDate, "06 March 2000");
    EXPECT_EQ(fields.startHour, "00");
    EXPECT_EQ(fields.endDate, "06 March 2000");
    EXPECT_EQ(fields.endHour, "23");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::Warning);
    EXPECT_EQ(ui_.messages[0].request.text,
              "No valid log entries were found. This may be due to one of the following "
              "reasons:\n\nNo Log files could be found,\nLog files were found, but had no "
              "entries in them,\n\nYou should check your settings, and re-export from your "
              "scheduling program.\n\nThere is therefore nothing to import.");
}

TEST_F(LogScanTest, OnlyOlderFilesFallBackToTheLatestFileWithAMessage) {
    station_.WriteLog(kMarch5, Hours(kMarch5, {3}));
    station_.WriteLog(kMarch7, Hours(kMarch7, {10, 12}));
    RangeFields fields = Propose({kMarch8, 14 * 3600 + kHourEnd});
    EXPECT_EQ(fields.startDate, "07 March 2000");
    EXPECT_EQ(fields.startHour, "10");
    EXPECT_EQ(fields.endDate, "07 March 2000");
    EXPECT_EQ(fields.endHour, "12");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::Information);
    EXPECT_EQ(ui_.messages[0].request.text,
              "Log files were found, but none of them contained entries that were after the "
              "last ones in the Kora log.\nThis may be due to one of the following reasons:\n\n"
              "You may not have \"Exported\" or \"Sent\" any new logs from your Scheduler,\n"
              "You may be filling in a hole in your Kora Log,\n\nYou may need to check your "
              "settings, or re-export from your scheduling program if nescessary.\n\nThe Log "
              "Importer has therefore defaulted to the dates of the latest dated log file "
              "found.\n");
}

// A run killed part-way through a day left that day's later hours unimported: the proposal
// starts again at the first of them, whether or not later days follow.
TEST_F(LogScanTest, AnInterruptedDayIsResumedAtItsNextHour) {
    station_.WriteLog(kMarch7, Hours(kMarch7, {0, 1, 2, 5, 6}));
    station_.WriteLog(kMarch8, Hours(kMarch8, {6, 7}));
    RangeFields fields = Propose({kMarch7, 2 * 3600 + kHourEnd});
    EXPECT_EQ(fields.startDate, "07 March 2000");
    EXPECT_EQ(fields.startHour, "05");
    EXPECT_EQ(fields.endDate, "08 March 2000");
    EXPECT_EQ(fields.endHour, "07");
    EXPECT_TRUE(ui_.messages.empty());

    // The interrupted day is the newest file: its remaining hours, without the message that
    // nothing new was found.
    std::filesystem::remove(station_.LogPath(kMarch8));
    fields = Propose({kMarch7, 2 * 3600 + kHourEnd});
    EXPECT_EQ(fields.startDate, "07 March 2000");
    EXPECT_EQ(fields.startHour, "05");
    EXPECT_EQ(fields.endDate, "07 March 2000");
    EXPECT_EQ(fields.endHour, "06");
    EXPECT_TRUE(ui_.messages.empty());

    // A day imported to its last scheduled hour is not offered again.
    station_.WriteLog(kMarch8, Hours(kMarch8, {6, 7}));
    fields = Propose({kMarch7, 6 * 3600 + kHourEnd});
    EXPECT_EQ(fields.startDate, "08 March 2000");
    EXPECT_EQ(fields.startHour, "06");
}

// A header dated in another day (here 9999) inside a day's file is not that file's hour: the
// import never takes it from there, so the proposal must not stretch to it.
// An hour lost in the middle of a day (another program held the write lock while it was
// imported) is proposed again: the range starts at it, not after the end of the schedules.
// An hour the day's file does not schedule is no hole.
TEST_F(LogScanTest, AHoleBeforeLaterHoursOfItsDayStartsTheRange) {
    const struct {
        const char* what;
        std::initializer_list<int> fileHours;
        const char* startDate;
        const char* startHour;
    } cases[] = {
        {"a lost hour", {6, 7, 8, 9}, "07 March 2000", "07"},
        {"an hour never scheduled", {6, 8, 9}, "08 March 2000", "00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        KoraInstallation station(dir.path(), InstallationOptions{});
        session_.locations.DataLocation = station.dataLocation;
        station.WriteLog(kMarch7, Hours(kMarch7, c.fileHours));
        station.WriteLog(kMarch8, Hours(kMarch8, {0, 1}));
        {
            Database db;
            TableCursor log;
            ASSERT_THAT(db.Open(station.databasePath), Succeeded());
            ASSERT_THAT(OpenLogTable(db, log), Succeeded());
            for (int hour : {6, 8, 9}) {
                ASSERT_TRUE(NewLogEntry(log, HourStartQIndex({kMarch7, hour * 3600.0f})));
                ASSERT_THAT(log.Set(LogEntry::EntryType, 98), Succeeded());
                ASSERT_THAT(log.Update(), Succeeded());
            }
        }
        RangeFields fields{"untouched", "99", "untouched", "99"};
        ProposeImportRange(session_, "KORA26.MDB", {kMarch7, 9 * 3600 + kHourEnd}, fields);
        EXPECT_EQ(fields.startDate, c.startDate);
        EXPECT_EQ(fields.startHour, c.startHour);
        EXPECT_EQ(fields.endDate, "08 March 2000");
        EXPECT_EQ(fields.endHour, "01");
    }
}

TEST_F(LogScanTest, AStrayHeaderInADayFileDoesNotStretchTheRange) {
    SchedulerLogWriter log = Hours(kMarch8, {6});
    log.Header("31/12/9999", 5, "Stray").Item("4001", "Song");
    log.Header(SchedulerDate(kMarch8), 7, "Clock").Item("4001", "Song");
    station_.WriteLog(kMarch8, log);
    RangeFields fields = Propose({0, 0});
    EXPECT_EQ(fields.startDate, "08 March 2000");
    EXPECT_EQ(fields.startHour, "06");
    EXPECT_EQ(fields.endDate, "08 March 2000");
    EXPECT_EQ(fields.endHour, "07");

    station_.WriteLog(kMarch10, log);  // the stray header, now in the last of two files
    fields = Propose({0, 0});
    EXPECT_EQ(fields.endDate, "09 March 2000");
    EXPECT_EQ(fields.endHour, "23");
}

TEST_F(LogScanTest, ADatabaseThatCannotBeOpenedLeavesTheFields) {
    RangeFields fields{"a", "1", "b", "2"};
    ProposeImportRange(session_, "NOSUCH.MDB", {0, 0}, fields);
    EXPECT_EQ(fields.startDate, "a");
    EXPECT_EQ(fields.endHour, "2");
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
}

TEST_F(LogScanTest, SettingsThatCannotBeReadLeaveTheFields) {
    station_.WriteLog(kMarch7, Hours(kMarch7, {6, 7}));
    station_.SetDatabaseSetting("KORA.PreCueTime", "soon");
    RangeFields fields = Propose({0, 0});
    EXPECT_EQ(fields.startDate, "untouched");
    EXPECT_EQ(fields.endHour, "99");
    EXPECT_TRUE(
        ui_.ShowedOnly("There was a problem reading the database setting : KORA.PreCueTime"))
        << ::testing::PrintToString(ui_.MessageTexts());
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
}

class SingleFileLogScanTest : public LogScanTest {
  protected:
    static InstallationOptions SingleFile() {
        InstallationOptions options;
        options.dateFormat = "";
        return options;
    }
    SingleFileLogScanTest() : LogScanTest(SingleFile()) {}
};

TEST_F(SingleFileLogScanTest, TheOneFileIsScannedOrTomorrowIsProposedWithAWarning) {
    RangeFields fields = Propose({0, 0});
    EXPECT_EQ(fields.startDate, "06 March 2000");
    EXPECT_EQ(fields.startHour, "00");
    EXPECT_EQ(fields.endDate, "06 March 2000");
    EXPECT_EQ(fields.endHour, "23");
    EXPECT_TRUE(ui_.Showed(
        "Either the log file did not exist, or if it did, there was no valid log entries in "
        "it.\n\nYou should check your settings, and re-export from your scheduling program."
        "\n\nThere is therefore nothing to import."));

    ui_.Clear();
    station_.WriteLog(0, Hours(kMarch8, {4, 5}));  // every day is the one file VN.LOG
    fields = Propose({0, 0});
    EXPECT_EQ(fields.startDate, "08 March 2000");
    EXPECT_EQ(fields.startHour, "04");
    EXPECT_EQ(fields.endHour, "05");
    EXPECT_TRUE(ui_.messages.empty());
}

// One file for every day: a header far in the future would have the run walk every day up to
// it, so the proposal ends a year after today and says why.
TEST_F(SingleFileLogScanTest, AProposalEndsAYearAfterTodayAtMostWithAWarning) {
    SchedulerLogWriter log = Hours(kMarch8, {4});
    log.Header("31/12/9999", 5, "Stray").Item("4001", "Song");
    station_.WriteLog(0, log);
    RangeFields fields = Propose({0, 0});
    EXPECT_EQ(fields.startDate, "08 March 2000");
    EXPECT_EQ(fields.startHour, "04");
    EXPECT_EQ(fields.endDate, "05 March 2001");
    EXPECT_EQ(fields.endHour, "23");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::Warning);
    EXPECT_EQ(ui_.messages[0].request.text,
              "The log file holds hours up to 31 December 9999, more than a year from today.\n\n"
              "The proposed range therefore ends on 05 March 2001. You should check the hour "
              "headers of the log file.");

    // A file ending within the year is proposed whole, without a word.
    ui_.Clear();
    station_.WriteLog(0, Hours(kMarch8, {4, 5}));
    fields = Propose({0, 0});
    EXPECT_EQ(fields.endDate, "08 March 2000");
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace vantor

#include "support/cursor_walk.h"
#include "support/succeeded.h"
#include "importer/import_run.h"
#include "importer/exit_status.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/codepage.h"
#include "common/profile.h"
#include "main_window_fixture.h"
#include "dbengine/database_file.h"
#include "dbengine/database_store.h"
#include "playoutdb/playout_settings.h"

namespace vantor {
namespace {

using testing::HoursOf;
using testing::InstallationOptions;
using testing::kMarch5;
using testing::kMarch6;
using testing::kMarch7;
using testing::MainWindowTest;
using testing::ReadWholeFile;

// The lines of a report file without their date and time stamps ("dd/mm/yyyy hh:nn:ss ").
std::vector<std::string> UnstampedLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream text(Cp1252ToUtf8(ReadWholeFile(path)));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line.size() > 20 && line[2] == '/' && line[13] == ':' ? line.substr(20)
                                                                              : line);
    }
    return lines;
}

class ImportRunTest : public MainWindowTest {
  protected:
    ImportRunResult Import(const std::string& startDate, const std::string& startHour,
                           const std::string& endDate, const std::string& endHour) {
        SetRange(startDate, startHour, endDate, endHour);
        ui_.Clear();
        return window_->BeginImporting();
    }

    std::string DatabaseSetting(const std::string& key) const {
        Database db;
        TableCursor settings;
        if (!db.Open(station_.databasePath).Ok() ||
            !db.OpenTable("Settings", settings, "Main").Ok())
            return "<no table>";
        return GetDbSetting(settings, key, DbValue("<none>")).AsText();
    }

    // (action, status, notes) of every user history event.
    std::vector<std::tuple<long long, long long, std::string>> HistoryEvents() const {
        std::vector<std::tuple<long long, long long, std::string>> events;
        Database db;
        QueryResult rows;
        if (!db.Open(station_.dataLocation + "/USERS/USERS25.MDB").Ok() ||
            !db.Query("SELECT * FROM [UserHistory]", {}, rows).Ok())
            return events;
        for (bool ok = true; ok && !rows.Eof(); ok = testing::Next(rows))
            events.emplace_back(rows.Field("Action").AsInteger(), rows.Field("Status").AsInteger(),
                                rows.Field("Notes").AsText());
        return events;
    }
};

TEST_F(ImportRunTest, RangeChecksStopTheRunBeforeAnythingIsWritten) {
    Start();
    const struct {
        const char *startDate, *startHour, *endDate, *endHour, *message;
    } cases[] = {
        {"31/2/2000", "00", "6/3/2000", "23", "You must enter a valid Start Date"},
        {"6/3/2000", "00", "someday", "23", "You must enter a valid End Date"},
        {"6/3/2000", "10", "6/3/2000", "9", "The start time must be before the end time"},
        {"7/3/2000", "00", "6/3/2000", "23", "The start time must be before the end time"},
    };
    for (const auto& c : cases) {
        ImportRunResult run = Import(c.startDate, c.startHour, c.endDate, c.endHour);
        EXPECT_EQ(run.outcome, ImportRunOutcome::Stopped) << c.message;
        EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::Information);
    }
    EXPECT_FALSE(std::filesystem::exists(station_.HistoryLogPath()));
    EXPECT_TRUE(HistoryEvents().empty());
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
}

TEST_F(ImportRunTest, AMissingDatabaseOrLogsDirectoryStopsTheRun) {
    Start();
    std::filesystem::rename(station_.databasePath, station_.databasePath + ".away");
    ImportRunResult run = Import("6/3/2000", "00", "6/3/2000", "23");
    EXPECT_EQ(run.outcome, ImportRunOutcome::Stopped);
    EXPECT_EQ(ui_.MessageTexts(),
              std::vector<std::string>{"You must select a valid Kora Database"});
    std::filesystem::rename(station_.databasePath + ".away", station_.databasePath);

    station_.SetDatabaseSetting("MUSIC.LogPath", station_.root + "/nowhere");
    run = Import("6/3/2000", "00", "6/3/2000", "23");
    EXPECT_EQ(run.outcome, ImportRunOutcome::Stopped);
    EXPECT_EQ(ui_.MessageTexts(),
              std::vector<std::string>{"You must select a valid Logs Directory in Kora Settings"});
    EXPECT_TRUE(window_->ScheduleEnabled());
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
    EXPECT_FALSE(std::filesystem::exists(station_.HistoryLogPath()));
}

// A database server that cannot be reached is named with its reason, not taken for a database
// the station never chose.
TEST_F(ImportRunTest, AServerThatCannotBeReachedIsReportedWithItsReason) {
    Start();
    auto store = MakeServerStore("host=127.0.0.1 port=1 dbname=vantor connect_timeout=5");
    Database db;
    DbSettings settings;
    ui_.Clear();
    EXPECT_FALSE(OpenDatabaseForRun(*session_, *store, "KORA26.MDB", DatabaseAccess::ReadWrite, db,
                                    settings));
    EXPECT_FALSE(db.IsOpen());
    ASSERT_EQ(ui_.messages.size(), 1u);
    const std::string& text = ui_.messages[0].request.text;
    EXPECT_NE(text.find("127.0.0.1"), std::string::npos) << text;
    EXPECT_EQ(text.find("You must select a valid Kora Database"), std::string::npos) << text;
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
}

// Settings that cannot be read would have the run import with defaults the station never
// chose: the read's report is the only word, and nothing is imported or recorded.
TEST_F(ImportRunTest, SettingsThatCannotBeReadStopTheRun) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 9, 11));
    Start();
    station_.SetDatabaseSetting("KORA.PreCueTime", "soon");
    ImportRunResult run = Import("6/3/2000", "09", "6/3/2000", "11");
    EXPECT_EQ(run.outcome, ImportRunOutcome::Stopped);
    EXPECT_TRUE(
        ui_.ShowedOnly("There was a problem reading the database setting : KORA.PreCueTime"))
        << ::testing::PrintToString(ui_.MessageTexts());
    EXPECT_TRUE(HourStarts().empty());
    EXPECT_FALSE(std::filesystem::exists(station_.HistoryLogPath()));
    EXPECT_TRUE(HistoryEvents().empty());
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
}

TEST_F(ImportRunTest, ASuccessfulRunWritesItsReportsSettingsAndHistory) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 9, 11));
    Start();
    session_->importSettings.Ranges.JinglesEnd = 600;
    ImportRunResult run = Import("6/3/2000", "10", "6/3/2000", "10");
    EXPECT_EQ(run.outcome, ImportRunOutcome::Imported);
    EXPECT_FALSE(run.errorReportShown);
    EXPECT_EQ(ui_.MessageTexts(),
              std::vector<std::string>{"The log was successfully imported into the Kora database"});
    // Exactly the 10:00 hour, 10:00:00 to 10:59:59.99.
    EXPECT_EQ(HourStarts(), (std::vector<std::pair<int32_t, int>>{{kMarch6, 10}}));

    const std::string range = "06 March 2000 10:00 to 06 March 2000 10:59";
    EXPECT_EQ(
        UnstampedLines(station_.HistoryLogPath()),
        (std::vector<std::string>{"Begin send new entries, " + range,
                                  "Importing log into KORA Database " + station_.databasePath}));
    EXPECT_FALSE(std::filesystem::exists(station_.ErrorLogPath()));
    EXPECT_EQ(HistoryEvents(),
              (std::vector<std::tuple<long long, long long, std::string>>{{101, 1, range}}));
    EXPECT_EQ(DatabaseSetting("MUSIC.JinglesStart"), "1");
    EXPECT_EQ(DatabaseSetting("MUSIC.JinglesEnd"), "600");
    EXPECT_EQ(DatabaseSetting("MUSIC.SongsEnd"), "6999");
    EXPECT_EQ(DatabaseSetting("MUSIC.CartGroupsStart"), "80001");
    EXPECT_TRUE(window_->ScheduleEnabled());
    EXPECT_FALSE(ui_.importProgressVisible);
    EXPECT_EQ(ui_.importProgressTexts[static_cast<int>(ImportProgressLabel::OverallProcess)].back(),
              "Finishing");
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
    // With schedules in the log the range moves on to tomorrow.
    EXPECT_EQ(window_->Fields().startDate, "06 March 2000");
    EXPECT_EQ(window_->ScheduledUntilText(), "06 March 2000 10:59");
}

TEST_F(ImportRunTest, RunningAgainReportsEveryHourAsNotReSent) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 6, 8));
    Start();
    ASSERT_EQ(Import("6/3/2000", "06", "6/3/2000", "08").outcome, ImportRunOutcome::Imported);
    const long long rows = LogRows();

    ImportRunResult again = Import("6/3/2000", "06", "6/3/2000", "08");
    EXPECT_EQ(again.outcome, ImportRunOutcome::Imported);
    EXPECT_TRUE(again.errorReportShown);
    EXPECT_TRUE(ui_.messages.empty());  // the report is shown instead of the success message
    ASSERT_EQ(ui_.shownFiles.size(), 1u);
    EXPECT_FALSE(ui_.shownFiles[0].modal);  // the report leaves the main window free
    EXPECT_EQ(UnstampedLines(station_.ErrorLogPath()),
              (std::vector<std::string>{
                  "The following hour was already in Kora so was not re-sent : 06 March 2000 06:00",
                  "The following hour was already in Kora so was not re-sent : 06 March 2000 07:00",
                  "The following hour was already in Kora so was not re-sent : 06 March 2000 "
                  "08:00"}));
    EXPECT_EQ(Cp1252ToUtf8(ReadWholeFile(station_.ErrorLogPath())), ui_.shownFiles[0].contents);
    EXPECT_EQ(LogRows(), rows);
    // Nothing new is no failure: a nightly run after a manual import must not end 4.
    EXPECT_EQ(ExitStatusOf(again), exit_status::kDone);

    // Beside a problem (here hours that may under-run) the same lines do not hide it.
    const auto threshold = session_->importSettings.UnderrunningDuration;
    session_->importSettings.UnderrunningDuration = 86400;
    ImportRunResult underrun = Import("6/3/2000", "06", "6/3/2000", "08");
    EXPECT_TRUE(underrun.errorReportShown);
    EXPECT_EQ(UnstampedLines(station_.ErrorLogPath()).size(), 6u);
    EXPECT_EQ(ExitStatusOf(underrun), exit_status::kDoneWithReport);
    session_->importSettings.UnderrunningDuration = threshold;

    // The next run starts the error report afresh.
    station_.WriteLog(kMarch7, HoursOf(kMarch7, 1, 1));
    EXPECT_FALSE(Import("7/3/2000", "01", "7/3/2000", "01").errorReportShown);
    EXPECT_FALSE(std::filesystem::exists(station_.ErrorLogPath()));
}

TEST_F(ImportRunTest, AnImportWithoutALogTableIsAbandonedButRecorded) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 1, 1));
    Start();
    {
        Database db;
        ASSERT_THAT(db.Open(station_.databasePath), Succeeded());
        ASSERT_THAT(db.Execute("DROP TABLE [Log]"), Succeeded());
    }
    ImportRunResult run = Import("6/3/2000", "01", "6/3/2000", "01");
    EXPECT_EQ(run.outcome, ImportRunOutcome::Abandoned);
    EXPECT_TRUE(run.Ran());
    EXPECT_TRUE(run.errorReportShown);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].request.text.rfind("There was a problem opening the Kora Log", 0),
              0u);
    EXPECT_EQ(UnstampedLines(station_.ErrorLogPath()),
              std::vector<std::string>{"Importing log was abandoned"});
    EXPECT_EQ(HistoryEvents(), (std::vector<std::tuple<long long, long long, std::string>>{
                                   {101, 2, "06 March 2000 01:00 to 06 March 2000 01:59"}}));
    EXPECT_EQ(DatabaseSetting("MUSIC.JinglesStart"), "<none>");  // not stored after a failure
    EXPECT_TRUE(window_->ScheduleEnabled());
}

TEST_F(ImportRunTest, TheHistoryFileStartsAfreshAtItsSizeLimit) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 1, 2));
    Start();
    for (long long size : {kHistoryLogLimit - 1, kHistoryLogLimit}) {
        std::ofstream(station_.HistoryLogPath(), std::ios::binary | std::ios::trunc)
            << std::string(static_cast<size_t>(size) - 2, 'x') << "\r\n";
        static_cast<void>(Import("6/3/2000", "01", "6/3/2000", "01"));  // only the file counts
        std::vector<std::string> lines = UnstampedLines(station_.HistoryLogPath());
        if (size < kHistoryLogLimit) {
            ASSERT_EQ(lines.size(), 3u) << "kept and appended to";
            EXPECT_EQ(lines[0].size(), static_cast<size_t>(size) - 2);
        } else {
            ASSERT_EQ(lines.size(), 2u) << "deleted first";
            EXPECT_EQ(lines[0].rfind("Begin send new entries, ", 0), 0u);
        }
    }
}

class PurgeTest : public ImportRunTest {};

TEST_F(PurgeTest, OldEntriesArePurgedBeforeTheImport) {
    for (int32_t day = kMarch5 - 4; day <= kMarch5; ++day)
        station_.WriteLog(day, HoursOf(day, 12, 12));
    Start();
    session_->importSettings.AutoPurgeDatabaseDays = 0;
    ASSERT_TRUE(Import("1/3/2000", "12", "5/3/2000", "12").Ran());
    EXPECT_EQ(HourStarts().size(), 5u);
    for (const std::string& line : UnstampedLines(station_.HistoryLogPath()))
        EXPECT_EQ(line.find("Purging"), std::string::npos) << "no purge with 0 days";

    // On 10 March with 3 days kept, everything up to the end of 6 March goes.
    clock_.Set(JoinDate({2000, 3, 10, 8, 0, 0}));
    session_->importSettings.AutoPurgeDatabaseDays = 3;
    session_->locations.TraceLevel = -1;
    station_.WriteLog(kMarch7, HoursOf(kMarch7, 12, 12));
    ASSERT_TRUE(Import("7/3/2000", "12", "7/3/2000", "12").Ran());
    EXPECT_EQ(HourStarts(), (std::vector<std::pair<int32_t, int>>{{kMarch7, 12}}));
    std::vector<std::string> lines = UnstampedLines(station_.HistoryLogPath());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Purging older entries from Kora Database, Log Start = 01 January 2000 "
                        "00:00, Log End = 06 March 2000 23:59"),
              lines.end());
    // With a trace level the run says what it does, as plain messages.
    std::vector<std::string> texts = ui_.MessageTexts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Beginning Auto-Purge of old Kora entries");
    EXPECT_EQ(texts[1], "Purging old Kora entries complete");
    EXPECT_EQ(texts[2], "Importing Log Entries");
    EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::None);
}

}  // namespace
}  // namespace vantor

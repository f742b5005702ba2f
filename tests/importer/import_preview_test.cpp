// The preview of an import, checked against the import of the same range done afterwards: the
// same hours, lengths, start times and missing carts, and nothing written by the preview, with
// the playout database in a file and on the database server alike.
#include "importer/import_preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "common/codepage.h"
#include "common/text.h"
#include "main_window_fixture.h"
#include "support/cursor_walk.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::Backend;
using testing::BackendName;
using testing::FilesIn;
using testing::kMarch6;
using testing::kMarch7;
using testing::MainWindowOnBackendTest;
using testing::ReadWholeFile;
using testing::SchedulerDate;
using testing::SchedulerLogWriter;

// A stored row of the Log table, as the comparison needs it.
struct StoredRow {
    double qIndex;
    long long type;
    std::string cart;
    double start;
    double length;
};

class ImportPreviewTest : public MainWindowOnBackendTest {
  protected:
    // 06:00 imported beforehand (already in the log); 07:00 with a cart the Audiowall lacks;
    // 08:00 not scheduled; 09:00 one song long (under-runs); 10:00 more entries than an hour
    // holds (fails); 11:00 in the log by hand as an hour start without songs and a time entry
    // (the new entries go after it). The next day has no file.
    void SetUp() override {
        SchedulerLogWriter log;
        const std::string date = SchedulerDate(kMarch6);
        log.Header(date, 6, "Six").Item("4001", "First song").Item("4002", "Second song");
        log.Header(date, 7, "Seven")
            .Item("4001", "First song")
            .Item("250", "Station jingle")
            .Item("4999", "Not on the Audiowall")
            .Item("4002", "Second song");
        log.Header(date, 9, "Nine").Item("4002", "Second song");
        log.Header(date, 10, "Ten");
        for (int i = 0; i < 400; ++i) log.Item("250", "Station jingle");
        log.Header(date, 11, "Eleven").Item("4001", "First song").Item("4002", "Second song");
        station_.WriteLog(kMarch6, log);
        Start();
        ASSERT_EQ(session_->PlayoutStore().OnServer(), GetParam() == Backend::Postgres);

        SetRange("6/3/2000", "06", "6/3/2000", "06");
        ASSERT_EQ(window_->BeginImporting().outcome, ImportRunOutcome::Imported);
        Database db;
        TableCursor table;
        ASSERT_THAT(OpenPlayoutDatabase(db), Succeeded());
        ASSERT_THAT(OpenLogTable(db, table), Succeeded());
        const double eleven = HourStartQIndex(DayTime{kMarch6, 11 * 3600.0f});
        for (const auto& [q, type] : {std::pair{eleven, 98}, std::pair{eleven + QIndexStep, 1}}) {
            ASSERT_TRUE(NewLogEntry(table, q));
            ASSERT_THAT(table.Set(LogEntry::EntryType, type), Succeeded());
            ASSERT_THAT(table.Set(LogEntry::ReferenceStartTime, 11 * 3600.0f + 120), Succeeded());
            ASSERT_THAT(table.Update(), Succeeded());
        }
        session_->importSettings.UnderrunningDuration = 300;
        ui_.Clear();
    }

    std::vector<StoredRow> RowsOfHour(int32_t day, int hour) {
        std::vector<StoredRow> rows;
        Database db;
        QueryResult result;
        const DayTime stamp{day, hour * 3600.0f};
        if (!OpenPlayoutDatabase(db).Ok() ||
            !db.Query("SELECT * FROM [Log] WHERE QIndex >= ? AND QIndex <= ? ORDER BY QIndex",
                     {DbValue(HourStartQIndex(stamp)), DbValue(HourEndQIndex(stamp))}, result).Ok())
            return rows;
        for (bool ok = true; ok && !result.Eof(); ok = testing::Next(result))
            rows.push_back({result.Field("QIndex").AsDouble(),
                            result.Field("EntryType").AsInteger(),
                            Trim(result.Field("HDReference").AsText()),
                            result.Field("EstimatedStartTime").AsDouble(),
                            result.Field("EstimatedLength").AsDouble()});
        return rows;
    }

    // Every column of every row of the Log table, as "name=value", in key order: what the
    // preview must leave as it found it wherever the database is kept.
    std::vector<std::vector<std::string>> WholeLog() {
        std::vector<std::vector<std::string>> rows;
        Database db;
        QueryResult result;
        if (!OpenPlayoutDatabase(db).Ok() ||
            !db.Query("SELECT * FROM [Log] ORDER BY QIndex", {}, result).Ok())
            return rows;
        for (bool ok = true; ok && !result.Eof(); ok = testing::Next(result)) {
            std::vector<std::string>& row = rows.emplace_back();
            for (int i = 0; i < result.FieldCount(); ++i) {
                const DbValue value = result.Field(i);
                row.push_back(result.FieldName(i) + "=" +
                              (value.IsNull() ? "NULL" : value.AsText()));
            }
        }
        return rows;
    }

    std::map<std::string, std::string> SettingsRows() {
        std::map<std::string, std::string> rows;
        Database db;
        QueryResult result;
        if (!OpenPlayoutDatabase(db).Ok() ||
            !db.Query("SELECT * FROM [Settings]", {}, result).Ok())
            return rows;
        for (bool ok = true; ok && !result.Eof(); ok = testing::Next(result))
            rows[result.Field(0).AsText()] = result.Field(1).AsText();
        return rows;
    }

    std::vector<std::string> ErrorReportLines() const {
        std::vector<std::string> lines;
        std::istringstream text(Cp1252ToUtf8(ReadWholeFile(station_.ErrorLogPath())));
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }
};

INSTANTIATE_TEST_SUITE_P(Backends, ImportPreviewTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

const PreviewHour* HourIn(const ImportPreview& preview, int32_t day, int hour) {
    for (const PreviewDay& d : preview.days)
        for (const PreviewHour& h : d.hours)
            if (h.hour.day == day && h.hour.seconds == hour * 3600.0f) return &h;
    return nullptr;
}

TEST_P(ImportPreviewTest, ThePreviewWritesNothingAndForetellsTheImport) {
    const std::string scheduleDirectory = station_.dataLocation + "/SCHEDULE";
    const auto databaseFiles = FilesIn(scheduleDirectory);
    const auto programFiles = FilesIn(station_.programDirectory);
    const auto settingsRows = SettingsRows();
    const auto logRows = WholeLog();
    ASSERT_FALSE(logRows.empty());

    SetRange("6/3/2000", "06", "7/3/2000", "23");
    PreviewRunResult run = window_->PreviewImport();
    ASSERT_EQ(run.outcome, PreviewRunOutcome::Previewed);
    const ImportPreview& preview = run.preview;

    // Nothing written: the database and everything beside it (no journal, no lock file), the
    // error report and history files, the Log and Settings rows; nothing shown to the operator.
    EXPECT_EQ(FilesIn(scheduleDirectory), databaseFiles);
    EXPECT_EQ(FilesIn(station_.programDirectory), programFiles);
    EXPECT_EQ(SettingsRows(), settingsRows);
    EXPECT_EQ(WholeLog(), logRows);
    EXPECT_TRUE(ui_.messages.empty()) << ::testing::PrintToString(ui_.MessageTexts());
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);

    ASSERT_EQ(preview.days.size(), 2u);
    EXPECT_TRUE(preview.days[1].fileMissing);
    ASSERT_EQ(preview.days[0].hours.size(), 18u);  // 06:00 to 23:00
    const PreviewHour& six = *HourIn(preview, kMarch6, 6);
    const PreviewHour& seven = *HourIn(preview, kMarch6, 7);
    const PreviewHour& eight = *HourIn(preview, kMarch6, 8);
    const PreviewHour& nine = *HourIn(preview, kMarch6, 9);
    const PreviewHour& ten = *HourIn(preview, kMarch6, 10);
    const PreviewHour& eleven = *HourIn(preview, kMarch6, 11);
    EXPECT_EQ(six.status, PreviewHourStatus::AlreadyInLog);
    EXPECT_EQ(seven.status, PreviewHourStatus::New);
    EXPECT_EQ(eight.status, PreviewHourStatus::NotInSchedulerFile);
    EXPECT_FALSE(eight.lost);  // a well-formed file that does not schedule it
    EXPECT_EQ(nine.status, PreviewHourStatus::New);
    EXPECT_TRUE(nine.underrun);
    EXPECT_FALSE(seven.underrun);
    EXPECT_EQ(ten.status, PreviewHourStatus::Failed);
    EXPECT_NE(ten.reason.find("an hour holds at most 360 entries"), std::string::npos)
        << ten.reason;
    EXPECT_EQ(eleven.status, PreviewHourStatus::New);
    EXPECT_TRUE(eleven.insertedAfter);
    ASSERT_EQ(seven.MissingCarts(), 1);
    const auto missing = std::find_if(seven.newEntries.begin(), seven.newEntries.end(),
                                      [](const PreviewEntry& e) { return e.cartMissing; });
    EXPECT_EQ(missing->cart, "4999");
    EXPECT_EQ(missing->position, 3);
    EXPECT_FALSE(preview.Clean());
    const PreviewSummary summary = preview.Summary();
    EXPECT_EQ(summary.newHours, 3);
    EXPECT_EQ(summary.alreadyInLog, 1);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_EQ(summary.missingCarts, 1);
    EXPECT_EQ(summary.missingDayFiles, 1);

    // The import of the same range afterwards.
    ImportRunResult imported = window_->BeginImporting();
    ASSERT_EQ(imported.outcome, ImportRunOutcome::Imported);
    // Its record of the run describes each hour as the preview foretold it: the hours it
    // held in memory, the one it inserted after existing rows, the one it rolled back.
    const ImportPreview& record = imported.record;
    ASSERT_EQ(record.days.size(), preview.days.size());
    EXPECT_TRUE(record.days[1].fileMissing);
    ASSERT_EQ(record.days[0].hours.size(), preview.days[0].hours.size());
    for (size_t i = 0; i < preview.days[0].hours.size(); ++i) {
        const PreviewHour& foretold = preview.days[0].hours[i];
        const PreviewHour& done = record.days[0].hours[i];
        SCOPED_TRACE("recorded hour " + std::to_string(done.hour.seconds / 3600));
        EXPECT_EQ(done.status, foretold.status);
        EXPECT_EQ(done.insertedAfter, foretold.insertedAfter);
        EXPECT_EQ(done.timed, foretold.timed);
        EXPECT_EQ(done.entries, foretold.entries);
        EXPECT_FLOAT_EQ(done.length, foretold.length);
        EXPECT_EQ(done.underrun, foretold.underrun);
        EXPECT_EQ(done.MissingCarts(), foretold.MissingCarts());
        if (done.status != PreviewHourStatus::New) continue;
        ASSERT_EQ(done.newEntries.size(), foretold.newEntries.size());
        for (size_t e = 0; e < done.newEntries.size(); ++e) {
            EXPECT_EQ(done.newEntries[e].position, foretold.newEntries[e].position);
            EXPECT_EQ(done.newEntries[e].cart, foretold.newEntries[e].cart);
            EXPECT_EQ(done.newEntries[e].start, foretold.newEntries[e].start);
            EXPECT_EQ(done.newEntries[e].length, foretold.newEntries[e].length);
        }
    }
    EXPECT_NE(HourIn(record, kMarch6, 10)->reason.find("There was a problem adding an entry"),
              std::string::npos);
    for (const PreviewDay& day : preview.days) {
        for (const PreviewHour& hour : day.hours) {
            const int h = static_cast<int>(hour.hour.seconds / 3600);
            SCOPED_TRACE("hour " + std::to_string(h));
            std::vector<StoredRow> rows = RowsOfHour(day.day, h);
            if (hour.status == PreviewHourStatus::Failed ||
                (hour.status == PreviewHourStatus::NotInSchedulerFile && !hour.timed)) {
                EXPECT_TRUE(rows.empty());
                continue;
            }
            ASSERT_FALSE(rows.empty());
            ASSERT_EQ(rows[0].type, 98);
            EXPECT_EQ(hour.entries + 1, static_cast<int>(rows.size()));
            EXPECT_FLOAT_EQ(hour.length, static_cast<float>(rows[0].length));
            for (const PreviewEntry& entry : hour.newEntries) {
                const StoredRow& row = rows.at(entry.position);
                EXPECT_EQ(entry.cart, row.cart);
                EXPECT_EQ(entry.start, static_cast<float>(row.start)) << entry.position;
                EXPECT_EQ(entry.length, static_cast<float>(row.length)) << entry.position;
            }
        }
    }
    // The import's report names the same missing cart, short hour and missing day file.
    const std::vector<std::string> report = ErrorReportLines();
    auto mentions = [&report](const std::string& part) {
        return std::count_if(report.begin(), report.end(), [&part](const std::string& line) {
            return line.find(part) != std::string::npos;
        });
    };
    EXPECT_EQ(mentions("has been scheduled to play, but does not exist"), 1);
    EXPECT_EQ(mentions("Cart 4999 has been scheduled"), 1);
    EXPECT_EQ(mentions("so may underrun"), summary.underruns);
    EXPECT_EQ(mentions("could not be found in the Music Log"), 1);
    EXPECT_EQ(mentions("was already in Kora so was not re-sent : 06 March 2000 06:00"), 1);
    EXPECT_EQ(mentions("inserted after them: 06 March 2000 11:00"), 1);
}

TEST_P(ImportPreviewTest, TheTextShowsEachHourAndTheSummary) {
    SetRange("6/3/2000", "06", "7/3/2000", "00");
    PreviewRunResult run = window_->ShowPreview();
    ASSERT_EQ(run.outcome, PreviewRunOutcome::Previewed);
    ASSERT_EQ(ui_.shownFiles.size(), 1u);
    EXPECT_EQ(ui_.shownFiles[0].caption, "Import Preview");
    const std::string& text = ui_.shownFiles[0].contents;
    EXPECT_EQ(text, PreviewText(run.preview));
    for (const char* line : {
             "  06:00  already in the log              2 entries   00:06:20\n",
             "  07:00  new                             4 entries   00:06:28\n",
             "         missing cart 4999: entry 3 at 07:03:08\n",
             "  08:00  no hour in the scheduler's file\n",
             "  09:00  new                             1 entry     00:03:20  may underrun\n",
             "  10:00  failed: There was a problem adding an entry to the KORA Log",
             "         the hour was in the log without songs: the entries go after it\n",
             ": the log file ",
             "Summary: 3 hours new, 1 already in the log, 1 failing, 13 not in the scheduler's "
             "files; 7 entries; 1 missing cart; 1 hour may underrun; 1 day file missing.\n",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text.substr(0, 2000);
    }
}

TEST_P(ImportPreviewTest, HoursTheImportWouldPurgeFirstCountAsNew) {
    // Three days on, with one day kept: the import removes 6 March before it starts.
    clock_.AdvanceSeconds(3 * 86400.0);
    session_->importSettings.AutoPurgeDatabaseDays = 1;
    SetRange("6/3/2000", "06", "6/3/2000", "06");
    PreviewRunResult run = window_->PreviewImport();
    ASSERT_EQ(run.outcome, PreviewRunOutcome::Previewed);
    EXPECT_EQ(HourIn(run.preview, kMarch6, 6)->status, PreviewHourStatus::New);

    ASSERT_EQ(window_->BeginImporting().outcome, ImportRunOutcome::Imported);
    EXPECT_EQ(RowsOfHour(kMarch6, 6).size(),
              static_cast<size_t>(HourIn(run.preview, kMarch6, 6)->entries + 1));
    for (const std::string& line : ErrorReportLines())
        EXPECT_EQ(line.find("already in Kora"), std::string::npos) << line;
}

TEST_P(ImportPreviewTest, RangeAndDatabaseChecksStopThePreview) {
    SetRange("31/2/2000", "00", "6/3/2000", "23");
    EXPECT_EQ(window_->PreviewImport().outcome, PreviewRunOutcome::Stopped);
    EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"You must enter a valid Start Date"});

    ui_.Clear();
    station_.SetDatabaseSetting("MUSIC.LogPath", station_.root + "/nowhere");
    SetRange("6/3/2000", "06", "6/3/2000", "23");
    EXPECT_EQ(window_->PreviewImport().outcome, PreviewRunOutcome::Stopped);
    EXPECT_EQ(ui_.MessageTexts(),
              std::vector<std::string>{"You must select a valid Logs Directory in Kora Settings"});
    EXPECT_TRUE(ui_.shownFiles.empty());
}

}  // namespace
}  // namespace vantor

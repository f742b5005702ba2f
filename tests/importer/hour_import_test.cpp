#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "common/day_time.h"
#include "common/locale.h"
#include "import_fixture.h"
#include "playoutdb/log_table.h"
#include "playoutdb/playout_settings.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::Backend;
using testing::BackendName;
using testing::HeaderDate;
using testing::HourOf;
using testing::ImportStation;
using testing::kMarch7;
using testing::LogItem;
using testing::LogRow;
using testing::SchedulerLogWriter;

std::string Hour(int32_t day, int hour) {
    return DayTimeLongText(HourOf(day, hour), 4);
}

// The key n steps after q, added one step at a time as the import adds them.
double Steps(double q, int n) {
    for (int i = 0; i < n; ++i) q += QIndexStep;
    return q;
}

// A log with the given hours, each with a song, a jingle and a break note.
SchedulerLogWriter ThreeItemHours(int32_t day, std::initializer_list<int> hours) {
    SchedulerLogWriter log;
    log.Line("=== Station log").Line("");
    for (int hour : hours) {
        log.Header(HeaderDate(day), hour, "Clock " + std::to_string(hour))
            .Item("4000", "Song A")
            .Item("100", "Jingle")
            .Note("$$ 10:15:00");
    }
    return log;
}

// The hour import on each backend: the same rows, the same reports, the same failures.
class HourImport : public ::testing::TestWithParam<Backend> {};

INSTANTIATE_TEST_SUITE_P(Backends, HourImport,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

TEST_P(HourImport, KeysOfThreeHoursFollowTheirHourStarts) {
    ImportStation station(GetParam());
    station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {6, 7, 8}));
    ASSERT_TRUE(station.Import(kMarch7, 6, 8));

    std::vector<LogRow> rows = station.Rows();
    ASSERT_EQ(rows.size(), 12u);
    for (int hour = 6; hour <= 8; ++hour) {
        SCOPED_TRACE(hour);
        std::vector<LogRow> hourRows = station.RowsOfHour(kMarch7, hour);
        ASSERT_EQ(hourRows.size(), 4u);
        const double start = HourStartQIndex(HourOf(kMarch7, hour));
        const LogRow& hourStart = hourRows[0];
        EXPECT_EQ(hourStart.qIndex, start);
        EXPECT_EQ(hourStart.Int("EntryType"), 98);
        EXPECT_EQ(hourStart.Int("EntryStatus"), 2);
        EXPECT_EQ(hourStart.Int("EntryFlags"), 1);  // imported, HourFlag clear
        EXPECT_EQ(hourStart.Num("Information1"), 1);
        EXPECT_EQ(hourStart.Num("ReferenceStartTime"), hour * 3600);
        EXPECT_EQ(hourStart.Text("ItemReference"), "Clock " + std::to_string(hour));
        EXPECT_EQ(hourStart.Text("Description1"), "Clock " + std::to_string(hour));
        EXPECT_EQ(hourStart.Num("EstimatedLength"), 190);  // song and jingle; a break names no cart
        // First entry one step after the hour start, then two steps apart.
        EXPECT_EQ(hourRows[1].qIndex, Steps(start, 1));
        EXPECT_EQ(hourRows[2].qIndex, Steps(start, 3));
        EXPECT_EQ(hourRows[3].qIndex, Steps(start, 5));
        EXPECT_EQ(hourRows[1].Int("EntryType"), 7);
        EXPECT_EQ(hourRows[1].Num("ScheduledLength"), 180);
        EXPECT_EQ(hourRows[1].Num("EstimatedStartTime"), hour * 3600);
        EXPECT_EQ(hourRows[2].Int("EntryType"), 3);
        EXPECT_EQ(hourRows[2].Num("EstimatedStartTime"), hour * 3600 + 180);
        EXPECT_EQ(hourRows[3].Int("EntryType"), 4);
        EXPECT_EQ(hourRows[3].Int("EntryStatus"), 1);
    }
    EXPECT_TRUE(station.ErrorLines().empty());
    EXPECT_TRUE(station.ui.messages.empty());
}

// Each column is set once per added row: those the import does not write keep the new-row
// value, on the first row and on every later one, and none that a new row fills is left Null.
TEST_P(HourImport, AddedRowsHoldTheNewRowValuesOfTheColumnsLeftAlone) {
    ImportStation station(GetParam());
    station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {6, 7}));
    ASSERT_TRUE(station.Import(kMarch7, 6, 7));
    const std::vector<LogRow> rows = station.Rows();
    ASSERT_EQ(rows.size(), 8u);
    for (const LogRow& row : rows) {
        SCOPED_TRACE(row.qIndex);
        for (const LogEntryColumn& column : LogEntry::Columns()) {
            if (!column.newRowValue.IsNull()) {
                EXPECT_FALSE(row[std::string(column.name)].IsNull()) << column.name;
            }
        }
        for (std::string_view untouched :
             {LogEntry::InformationString1, LogEntry::PlayedDate, LogEntry::PlayedLength,
              LogEntry::WEB_Text, LogEntry::SegueCodes, LogEntry::AutoFadeLength}) {
            const DbValue& newRow = LogEntry::Columns()[LogColumnPosition(untouched)].newRowValue;
            EXPECT_EQ(row[std::string(untouched)].AsText(), newRow.AsText()) << untouched;
        }
    }
}

TEST_P(HourImport, ReImportAddsNothingAndListsTheHours) {
    ImportStation station(GetParam());
    station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {6, 7, 8}));
    ASSERT_TRUE(station.Import(kMarch7, 6, 8));
    std::vector<LogRow> before = station.Rows();
    std::filesystem::remove(station.context.errorLogPath);

    ASSERT_TRUE(station.Import(kMarch7, 6, 8));
    std::vector<LogRow> after = station.Rows();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].qIndex, before[i].qIndex);
    std::vector<std::string> expected;
    for (int hour = 6; hour <= 8; ++hour) {
        expected.push_back("The following hour was already in Kora so was not re-sent : " +
                           Hour(kMarch7, hour));
    }
    EXPECT_EQ(station.ErrorLines(), expected);
}

TEST_P(HourImport, HourMadeByHandGetsTheLogAfterItsEntries) {
    ImportStation station(GetParam());
    const double start = HourStartQIndex(HourOf(kMarch7, 7));
    station.AddRow(start, 98, 0, "By hand");
    station.AddRow(Steps(start, 4), 11, 0, "Manual command");
    station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {7}));
    ASSERT_TRUE(station.Import(kMarch7, 7, 7));

    std::vector<LogRow> rows = station.RowsOfHour(kMarch7, 7);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].Text("Description1"), "By hand");  // no second hour start
    EXPECT_EQ(rows[0].Int("EntryFlags"), 1);             // marked by FinishHour
    EXPECT_EQ(rows[0].Num("Information1"), 1);
    EXPECT_EQ(rows[1].Text("Description1"), "Manual command");
    EXPECT_EQ(rows[2].qIndex, Steps(start, 5));
    EXPECT_EQ(rows[2].Int("EntryType"), 7);
    EXPECT_EQ(rows[3].qIndex, Steps(start, 7));
    EXPECT_EQ(rows[4].qIndex, Steps(start, 9));
    EXPECT_EQ(station.ErrorLines(),
              std::vector<std::string>{"The following hour was already in Kora but without "
                                       "songs, so the log was inserted after them: " +
                                       Hour(kMarch7, 7)});
}

TEST_P(HourImport, HourWithoutHeaderIsLeftAlone) {
    ImportStation station(GetParam());
    station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {6, 8}));
    ASSERT_TRUE(station.Import(kMarch7, 6, 8));
    EXPECT_EQ(station.RowsOfHour(kMarch7, 6).size(), 4u);
    EXPECT_TRUE(station.RowsOfHour(kMarch7, 7).empty());
    EXPECT_EQ(station.RowsOfHour(kMarch7, 8).size(), 4u);
    EXPECT_TRUE(station.ErrorLines().empty());
    EXPECT_TRUE(station.ui.messages.empty());
}

TEST_P(HourImport, FailingThirdEntryRollsItsHourBack) {
    ImportStation station(GetParam());
    // A stray row where the hour's third entry would go.
    const double start = HourStartQIndex(HourOf(kMarch7, 6));
    station.AddRow(Steps(start, 5), 8, 0, "Stray");
    SchedulerLogWriter log = ThreeItemHours(kMarch7, {6, 7});
    station.WriteLog(kMarch7, log);
    ASSERT_TRUE(station.Import(kMarch7, 6, 7));

    std::vector<LogRow> six = station.RowsOfHour(kMarch7, 6);
    ASSERT_EQ(six.size(), 1u);  // only the stray row: nothing of the hour was kept
    EXPECT_EQ(six[0].Text("Description1"), "Stray");
    EXPECT_EQ(station.RowsOfHour(kMarch7, 7).size(), 4u);
    EXPECT_EQ(station.ErrorLines(),
              std::vector<std::string>{"There was a problem adding an entry to the hour for " +
                                       Hour(kMarch7, 6) + " to the log"});
    ASSERT_EQ(station.ui.messages.size(), 1u);
    EXPECT_EQ(station.ui.messages[0].request.text.rfind(
                  "There was a problem adding an entry to the KORA Log - \"Advert Break\"", 0),
              0u);
}

// A fresh hour whose third row the database refuses (a unique index of the station's on the
// titles, and the hour names "Song A" twice): the hour is rolled back and the refused row is
// reported by its own title, whenever the backend finds the refusal; the next hour imports.
TEST_P(HourImport, RefusedRowOfAFreshHourRollsItsHourBack) {
    ImportStation station(GetParam());
    ASSERT_TRUE(station.db.AddIndex("Log", {"Titles", {"Description1"}, false, true}).Ok());
    SchedulerLogWriter log;
    log.Line("=== Station log").Line("");
    log.Header(HeaderDate(kMarch7), 6, "Clock 6")
        .Item("4000", "Song A")
        .Item("100", "Jingle")
        .Item("4000", "Song A")
        .Item("4002", "Song B");
    log.Header(HeaderDate(kMarch7), 7, "Clock 7").Item("4003", "Song C").Item("100", "Sting");
    station.WriteLog(kMarch7, log);
    ASSERT_TRUE(station.Import(kMarch7, 6, 7));

    EXPECT_TRUE(station.RowsOfHour(kMarch7, 6).empty());
    EXPECT_EQ(station.RowsOfHour(kMarch7, 7).size(), 3u);
    EXPECT_EQ(station.ErrorLines(),
              std::vector<std::string>{"There was a problem adding an entry to the hour for " +
                                       Hour(kMarch7, 6) + " to the log"});
    ASSERT_EQ(station.ui.messages.size(), 1u);
    const std::string& shown = station.ui.messages[0].request.text;
    EXPECT_EQ(shown.rfind("There was a problem adding an entry to the KORA Log - \"Song A ", 0),
              0u)
        << shown;
    EXPECT_NE(shown.find("3022"), std::string::npos) << shown;
}

// A trigger of the station's that throws away what is written: the hour checks, before it
// commits, that its rows are there, and fails instead of being counted as imported. Both
// ways of writing an hour: held in memory (a fresh hour) and among rows already there. (The
// trigger is written in the embedded engine's own dialect.)
TEST(ImportHoursOnFiles, RowsThatDoNotStayFailTheirHour) {
    for (bool strayRow : {false, true}) {
        SCOPED_TRACE(strayRow ? "among rows already there" : "a fresh hour");
        ImportStation station;
        const double start = HourStartQIndex(HourOf(kMarch7, 6));
        if (strayRow) station.AddRow(Steps(start, 20), 8, 0, "Stray");
        ASSERT_TRUE(station.db
                        .Execute("CREATE TRIGGER [EatSongs] AFTER INSERT ON [Log] "
                                 "WHEN NEW.EntryType = 7 BEGIN "
                                 "DELETE FROM [Log] WHERE rowid = NEW.rowid; END")
                        .Ok());
        station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {6}));
        station.Import(kMarch7, 6, 6);

        EXPECT_EQ(station.RowsOfHour(kMarch7, 6).size(), strayRow ? 1u : 0u);
        EXPECT_EQ(station.ErrorLines(),
                  std::vector<std::string>{"The hour for " + Hour(kMarch7, 6) +
                                           " was not kept in the log: of the 4 entries written "
                                           "to it, the log holds 3"});
    }
}

TEST_P(HourImport, AnHourNeverSpillsIntoTheNextHoursKeys) {
    // At two keys per entry an hour has room for 360 entries after its hour start.
    for (int items : {360, 361}) {
        SCOPED_TRACE(items);
        ImportStation station(GetParam());
        SchedulerLogWriter log;
        log.Header(HeaderDate(kMarch7), 6, "Long");
        for (int i = 0; i < items; ++i) log.Item("100", "Jingle");
        log.Header(HeaderDate(kMarch7), 7, "Next").Item("100", "Jingle");
        station.WriteLog(kMarch7, log);
        ASSERT_TRUE(station.Import(kMarch7, 6, 7));
        std::vector<LogRow> six = station.RowsOfHour(kMarch7, 6);
        if (items <= 360) {
            EXPECT_EQ(six.size(), static_cast<size_t>(items + 1));
            EXPECT_TRUE(station.ErrorLines().empty());
        } else {
            EXPECT_TRUE(six.empty());
            EXPECT_EQ(
                station.ErrorLines(),
                std::vector<std::string>{"There was a problem adding an entry to the hour for " +
                                         Hour(kMarch7, 6) + " to the log"});
            ASSERT_EQ(station.ui.messages.size(), 1u);
            EXPECT_NE(station.ui.messages[0].request.text.find("360"), std::string::npos);
        }
        EXPECT_EQ(station.RowsOfHour(kMarch7, 7).size(), 2u);
    }
}

TEST_P(HourImport, ModesAndSoftDeleteLastForTheirHourOnly) {
    ImportStation station(GetParam());
    SchedulerLogWriter log;
    log.Header(HeaderDate(kMarch7), 6)
        .Item("4000", "Before")
        .Note("$D")
        .Note("$QR")
        .Item("4002", "Soft one", '-')
        .Item("700", "Sweeper")
        .Item("4003", "Soft two")
        .Header(HeaderDate(kMarch7), 7)
        .Item("4000", "Next hour", '-');
    station.WriteLog(kMarch7, log);
    ASSERT_TRUE(station.Import(kMarch7, 6, 7));

    std::vector<LogRow> six = station.RowsOfHour(kMarch7, 6);
    ASSERT_EQ(six.size(), 5u);
    EXPECT_EQ(six[0].Num("Information1"), 2);  // HourMode
    EXPECT_EQ(six[0].Int("EntryFlags"), static_cast<int32_t>(0xFFFF8001u));
    EXPECT_EQ(six[1].Int("EntryStatus"), 2);
    EXPECT_EQ(six[2].Int("EntryStatus"), 6);
    EXPECT_EQ(six[2].Int("ScheduledEndType"), 0);
    EXPECT_EQ(six[2].Int("ActualEndType"), 50);  // mode 2: everything but sweepers is 50
    EXPECT_EQ(six[3].Int("ActualEndType"), 100);
    EXPECT_EQ(six[3].Int("EntryStatus"), 2);
    EXPECT_EQ(six[4].Int("EntryStatus"), 6);

    std::vector<LogRow> seven = station.RowsOfHour(kMarch7, 7);
    ASSERT_EQ(seven.size(), 2u);
    EXPECT_EQ(seven[0].Int("EntryFlags"), 1);
    EXPECT_EQ(seven[0].Num("Information1"), 1);
    EXPECT_EQ(seven[1].Int("EntryStatus"), 2);
    EXPECT_EQ(seven[1].Int("ActualEndType"), 0);  // mode 1: as scheduled
}

TEST_P(HourImport, CartsAreCheckedAndDescribedFromTheAudiowall) {
    ImportStation station(GetParam());
    LogItem own;
    own.cart = "4002";
    own.title = "Own Title";
    SchedulerLogWriter log;
    log.Header(HeaderDate(kMarch7), 14)
        .Item("4000", "")
        .Item("4000", "4000")
        .Item(own)
        .Item("4001", "")
        .Item("80005", "Group")
        .Note("Weather", "4003");
    station.WriteLog(kMarch7, log);
    ASSERT_TRUE(station.Import(kMarch7, 14, 14));

    std::vector<LogRow> rows = station.RowsOfHour(kMarch7, 14);
    ASSERT_EQ(rows.size(), 7u);
    for (int i : {1, 2}) {
        EXPECT_EQ(rows[i].Text("Description1"), "Song A");
        EXPECT_EQ(rows[i].Text("Description2"), "Song A");
        EXPECT_EQ(rows[i].Text("Description3"), "Song A");
        EXPECT_EQ(rows[i].Num("ScheduledLength"), 180);
        EXPECT_EQ(rows[i].Num("EstimatedLength"), 180);
    }
    EXPECT_EQ(rows[3].Text("Description1"), "Own Title" + std::string(24, ' '));
    EXPECT_EQ(rows[3].Num("ScheduledLength"), 200);
    EXPECT_EQ(rows[4].Num("ScheduledLength"), 0);  // no audio, still added
    EXPECT_EQ(rows[4].Text("Description1"), "Silent Song");
    EXPECT_EQ(rows[5].Int("EntryType"), 13);
    EXPECT_EQ(rows[5].Text("HDReference"), "");
    EXPECT_EQ(rows[5].Num("Information1"), 5);
    EXPECT_EQ(rows[6].Int("EntryType"), 2);
    EXPECT_EQ(rows[6].Text("HDReference"), "4003");
    EXPECT_EQ(rows[6].Num("ScheduledLength"), 210);
    EXPECT_EQ(rows[6].Text("Description1"), "Weather");
    // One line for the cart without audio, not stamped; the cart group is never looked up.
    EXPECT_EQ(station.ErrorLines(),
              std::vector<std::string>{DayTimeShortText(HourOf(kMarch7, 14), 4) +
                                       " - Cart 4001 has been scheduled to play, but does not "
                                       "exist/has no audio"});
}

// Another workstation holds the write lock while the start times of an hour are worked out:
// they cannot be stored, and the hour is reported as failed instead of passing for done. (A
// database file has one write lock for all of it; on a server a transaction that has written
// nothing holds no lock, and writers wait only for the rows they share.)
TEST(ImportHoursOnFiles, StartTimesThatCannotBeStoredFailTheHour) {
    ImportStation station;
    station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {6}));
    ASSERT_TRUE(station.Import(kMarch7, 6, 6));
    std::filesystem::remove(station.context.errorLogPath);
    station.ui.Clear();

    Database otherWorkstation;
    ASSERT_THAT(otherWorkstation.Open(station.databasePath), Succeeded());
    ASSERT_THAT(otherWorkstation.BeginTrans(), Succeeded());
    ASSERT_TRUE(station.Import(kMarch7, 6, 6));
    EXPECT_THAT(otherWorkstation.Rollback(), Succeeded());

    EXPECT_EQ(station.ErrorLines(),
              (std::vector<std::string>{
                  "The following hour was already in Kora so was not re-sent : " +
                      Hour(kMarch7, 6),
                  "There was a problem updating the start times of the hour for " +
                      Hour(kMarch7, 6) + " in the log"}));
    std::vector<std::string> shown = station.ui.MessageTexts();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front().rfind("There was a problem updating the start times of the hour " +
                                      Hour(kMarch7, 6) + " and the error's description",
                                  0),
              0u)
        << shown.front();
}

TEST_P(HourImport, ShortHourIsReportedAsUnderrunning) {
    ImportStation station(GetParam());
    station.settings.UnderrunningDuration = 3600;
    SchedulerLogWriter log;
    log.Header(HeaderDate(kMarch7), 14);
    // 3500 seconds: 17 songs of 200 s and 100 s of jingles.
    for (int i = 0; i < 17; ++i) log.Item("4002", "Song B");
    for (int i = 0; i < 10; ++i) log.Item("100", "Jingle");
    log.Header(HeaderDate(kMarch7), 15);
    for (int i = 0; i < 18; ++i) log.Item("4002", "Song B");
    station.WriteLog(kMarch7, log);
    ASSERT_TRUE(station.Import(kMarch7, 14, 15));
    EXPECT_EQ(station.ErrorLines(),
              std::vector<std::string>{"The following hour is only 00:58:20 minutes long, so may "
                                       "underrun: " +
                                       Hour(kMarch7, 14)});
}

TEST_P(HourImport, OverlongTextIsCutToItsColumn) {
    ImportStation station(GetParam());
    SchedulerLogWriter log;
    log.Header(HeaderDate(kMarch7), 10, std::string(300, 'h')).Item("4000", "Song");
    station.WriteLog(kMarch7, log);
    ASSERT_TRUE(station.Import(kMarch7, 10, 10));
    std::vector<LogRow> rows = station.RowsOfHour(kMarch7, 10);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Text("Description1"), std::string(255, 'h'));
    EXPECT_EQ(rows[0].Text("ItemReference"), std::string(255, 'h'));
}

TEST_P(HourImport, DamagedFilesNeverWriteHalfAnHour) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<size_t> rowsPerHour;  // hours 6, 7, 8
        int messages;                     // -1: not checked
    };
    const std::string d = HeaderDate(kMarch7);
    // Every byte value, line ends included, in a scrambled order.
    std::string garbage;
    for (int i = 0; i < 4000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    // One long line of any bytes but line ends, which no rule reads as an entry.
    std::string junkLine = "x";
    for (char c : garbage) junkLine += (c == '\n') ? '?' : c;
    Case cases[] = {
        {"binary garbage only", garbage, {0, 0, 0}, -1},
        {"garbage between hours",
         "+" + d + " 06\r\n#   4000 Song\r\n" + junkLine + "\r\n+" + d + " 07\r\n#    100 J\r\n",
         {2, 2, 0},
         0},
        {"lines cut short",
         "+" + d + " 06\r\n#\r\n#4\r\n@40\r\n:\r\n:$\r\n:$W\r\n:$T\r\n",
         {6, 0, 0},
         0},
        {"bad header date",
         "+" + d + " 06\r\n#   4000 A\r\n+31/02/00 07\r\n#   4000 B\r\n+" + d +
             " 08\r\n#   4000 C\r\n",
         {2, 0, 2},
         1},
        // The file was cut while being written: the hour that runs into its end may miss
        // entries, so it is left for the next run, which reads the file whole.
        {"no trailing newline",
         "+" + d + " 06\r\n#   4000 A\r\n+" + d + " 07\r\n#    100 J",
         {2, 0, 0},
         0},
        {"header cut off",
         "+" + d + " 06\r\n#   4000 A\r\n+*\r\nDate : 07/03/00\r\n",
         {2, 0, 0},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportStation station(GetParam());
        station.WriteLog(kMarch7, SchedulerLogWriter().Raw(c.bytes));
        ASSERT_TRUE(station.Import(kMarch7, 6, 8));
        for (int hour = 6; hour <= 8; ++hour) {
            EXPECT_EQ(station.RowsOfHour(kMarch7, hour).size(), c.rowsPerHour[hour - 6]) << hour;
        }
        if (c.messages >= 0) {
            EXPECT_EQ(station.ui.messages.size(), static_cast<size_t>(c.messages));
        }
    }
}

TEST_P(HourImport, MissingDayFileIsShownAndTheDaySkipped) {
    ImportStation station(GetParam());
    station.WriteLog(kMarch7 + 1, ThreeItemHours(kMarch7 + 1, {0}));
    ASSERT_TRUE(station.Import(kMarch7, 23, kMarch7 + 1, 0));
    EXPECT_EQ(station.ui.MessageTexts(),
              std::vector<std::string>{
                  "The log file : " + LogFileName(kMarch7, station.context.logFiles) + " for " +
                  LongDateText(kMarch7) + " could not be found."});
    EXPECT_EQ(station.ui.messages[0].request.icon, MessageIcon::Information);
    EXPECT_EQ(station.RowsOfHour(kMarch7 + 1, 0).size(), 4u);
}

TEST_P(HourImport, BlockHeadersAndProgress) {
    ImportStation station(GetParam());
    SchedulerLogWriter log;
    log.BlockHeader("07/03/00", "9", "Morning").Item("4000", "A").Note("$CSTOPALL");
    station.WriteLog(kMarch7, log);
    ASSERT_TRUE(station.Import(kMarch7, 9, 9));
    std::vector<LogRow> rows = station.RowsOfHour(kMarch7, 9);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Text("Description1"), "Morning");
    EXPECT_EQ(rows[2].Text("ItemReference"), "STOPALL");

    const auto& tasks =
        station.ui.importProgressTexts[static_cast<int>(ImportProgressLabel::CurrentTask)];
    for (const char* text : {"Finding 9:00 in the Kora Log", "Finding 9:00 in the Music Log",
                             "Adding Hour Start", "Adding Song", "Processing Break Note",
                             " Updating Start Times in Kora Log", "Closing Kora Log"}) {
        EXPECT_NE(std::find(tasks.begin(), tasks.end(), text), tasks.end()) << text;
    }
    const auto& process =
        station.ui.importProgressTexts[static_cast<int>(ImportProgressLabel::CurrentProcess)];
    EXPECT_NE(std::find(process.begin(), process.end(), "Importing into 09:00"), process.end());
    EXPECT_EQ(station.ui.importProgressValue[0], 100);

    // The end of the import is recorded in the database's settings.
    DbSettings settings;
    ASSERT_THAT(ReadDbSettings(station.ui, station.db, settings, station.dir.path()), Succeeded());
    EXPECT_EQ(settings.MUSIC_SentBy, ProgramTitleAndVersion() + " ");
}

// The closing pause is there for an operator to read the last texts; an unattended run, which
// nobody watches, goes on at once. The pause shows as the clock readings it waits through.
TEST_P(HourImport, TheClosingPauseOnlyWhenSomeoneWatches) {
    struct CountingClock : testing::SteppingClock {
        using SteppingClock::SteppingClock;
        OleDate Now() const override {
            ++readings;
            return SteppingClock::Now();
        }
        mutable int readings = 0;
    };
    int readings[2] = {0, 0};
    for (bool watched : {true, false}) {
        ImportStation station(GetParam());
        station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {6}));
        CountingClock clock(kMarch7 + 3);
        station.ui.showsProgress = watched;
        HourImportContext context = station.context;
        HourImportContext timed{station.ui,       clock,           context.audiowall,
                                context.settings, context.logFiles, context.timing,
                                context.errorLogPath};
        ASSERT_TRUE(ImportHours(station.db, HourOf(kMarch7, 6), HourOf(kMarch7, 6), timed));
        readings[watched] = clock.readings;
    }
    EXPECT_GE(readings[1] - readings[0], 2);  // a stepping clock needs two to pass 0.5 s
}

// A playout engine listening on the server hears of every hour as it is committed, and of
// nothing an hour that was rolled back would have brought.
TEST(ImportHoursOnAServer, EachCommittedHourIsAnnouncedToListeners) {
    ImportStation station(Backend::Postgres);
    testing::NotificationListener playout("vantor_log");
    station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {6, 7}));
    ASSERT_TRUE(station.Import(kMarch7, 6, 7));
    const std::string schema = station.databasePath.substr(0, station.databasePath.find('.'));
    std::string lower;
    for (char c : schema) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(playout.Received(), (std::vector<std::string>{lower, lower}));

    // Written again, the hours are only re-timed, each in a transaction of its own.
    ASSERT_TRUE(station.Import(kMarch7, 6, 7));
    EXPECT_EQ(playout.Received().size(), 2u);
}

// The server goes away while an hour is being written (its connection ended from outside, as a
// restart or a network fault would): that hour is rolled back, the report names it and why,
// the run stops there instead of failing every later hour, and a run afterwards completes
// the range.
TEST(ImportHoursOnAServer, ALostConnectionStopsTheRunAtTheHourItWasLostIn) {
    ImportStation station(Backend::Postgres);
    station.WriteLog(kMarch7, ThreeItemHours(kMarch7, {6, 7, 8}));
    QueryResult pid;
    ASSERT_THAT(station.db.Query("SELECT pg_backend_pid() AS pid", {}, pid), Succeeded());

    // Ends the importer's connection inside the second hour's transaction.
    class ServerLostOnSecondHour : public ScriptedUserInterface {
      public:
        ServerLostOnSecondHour(const ImportStation& station, DbValue pid)
            : station_(station), pid_(std::move(pid)) {}
        void SetImportProgressText(ImportProgressLabel label, const std::string& text) override {
            ScriptedUserInterface::SetImportProgressText(label, text);
            if (text != "Adding Hour Start" || ++hoursStarted_ != 2) return;
            Database other;
            ended = station_.OpenElsewhere(other).Ok() &&
                    other.Execute("SELECT pg_terminate_backend(?)", {pid_}).Ok();
        }
        bool ended = false;

      private:
        const ImportStation& station_;
        DbValue pid_;
        int hoursStarted_ = 0;
    } ui(station, pid.Field("pid"));
    HourImportContext context{ui,
                              station.clock,
                              station.audiowall,
                              station.settings,
                              station.context.logFiles,
                              station.context.timing,
                              station.context.errorLogPath};

    EXPECT_FALSE(ImportHours(station.db, HourOf(kMarch7, 6),
                             DayTime{kMarch7, 8 * 3600 + 3599.99f}, context));
    ASSERT_TRUE(ui.ended);
    const std::vector<std::string> report = station.ErrorLines();
    EXPECT_THAT(report, ::testing::Contains(::testing::HasSubstr(
                            "could no longer be reached while importing the hour " +
                            Hour(kMarch7, 7) + ", so the import was stopped")));
    for (const std::string& line : report) {
        EXPECT_EQ(line.find(Hour(kMarch7, 8)), std::string::npos) << line;
    }

    station.db.Close();
    ASSERT_THAT(station.location.Open(station.db), Succeeded());
    EXPECT_EQ(station.RowsOfHour(kMarch7, 6).size(), 4u);
    EXPECT_TRUE(station.RowsOfHour(kMarch7, 7).empty());
    EXPECT_TRUE(station.RowsOfHour(kMarch7, 8).empty());

    std::filesystem::remove(station.context.errorLogPath);
    ASSERT_TRUE(station.Import(kMarch7, 6, 8));
    for (int hour = 6; hour <= 8; ++hour) EXPECT_EQ(station.RowsOfHour(kMarch7, hour).size(), 4u);
    EXPECT_EQ(station.ErrorLines(),
              (std::vector<std::string>{
                  "The following hour was already in Kora so was not re-sent : " +
                  Hour(kMarch7, 6)}));
}

TEST(ImportHoursOnFiles, NoOpenDatabase) {
    ImportStation station;
    Database closed;
    EXPECT_FALSE(ImportHours(closed, HourOf(kMarch7, 0), HourOf(kMarch7, 1), station.context));
}

TEST(FinishHour, FlagBits) {
    struct Case {
        int32_t oldFlags;
        bool hourFlag;
        int32_t mode;
        int32_t flags;
    } cases[] = {
        {0, false, 1, 1},
        {0, true, 2, static_cast<int32_t>(0xFFFF8001u)},
        {static_cast<int32_t>(0xFFFF8000u), false, 1, 1},
        {4, false, 2, 5},
        {4, true, 1, static_cast<int32_t>(0xFFFF8005u)},
    };
    for (const Case& c : cases) {
        ImportStation station;
        station.AddRow(HourStartQIndex(HourOf(kMarch7, 5)), 98, c.oldFlags);
        TableCursor log;
        ASSERT_THAT(OpenLogTable(station.db, log), Succeeded());
        EXPECT_TRUE(FinishHour(log, HourOf(kMarch7, 5), c.mode, c.hourFlag));
        EXPECT_FALSE(FinishHour(log, HourOf(kMarch7, 6), c.mode, c.hourFlag));  // no hour start
        log.Close();
        std::vector<LogRow> rows = station.Rows();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].Int("EntryFlags"), c.flags);
        EXPECT_EQ(rows[0].Num("Information1"), c.mode);
    }
}

}  // namespace
}  // namespace vantor

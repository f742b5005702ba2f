#include "playoutdb/log_maintenance.h"
#include "importer/start_times.h"

#include <gtest/gtest.h>

#include "audiowall/audiowall_store.h"
#include "import_fixture.h"
#include "playoutdb/log_table.h"
#include "support/audiowall_fixture.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::FixtureCart;
using testing::HourOf;
using testing::ImportStation;
using testing::kMarch7;
using testing::LogRow;

using Columns = std::vector<std::pair<std::string_view, DbValue>>;

void AddEntry(Database& db, double q, const Columns& columns) {
    TableCursor log;
    ASSERT_THAT(OpenLogTable(db, log), Succeeded());
    ASSERT_TRUE(NewLogEntry(log, q));
    for (const auto& [name, value] : columns)
        ASSERT_THAT(log.Set(name, value), Succeeded()) << name;
    ASSERT_THAT(log.Update(), Succeeded());
}

// An hour start followed by entries one step apart; returns the hour start's key.
double AddHour(Database& db, const DayTime& hour, const std::vector<Columns>& entries) {
    double q = HourStartQIndex(hour);
    AddEntry(db, q, {{LogEntry::EntryType, 98}, {LogEntry::EntryStatus, 2}});
    double next = q;
    for (const Columns& entry : entries) {
        next += QIndexStep;
        AddEntry(db, next, entry);
    }
    return q;
}

Columns Audio(int type, int cart, int status = 2, int endType = 50) {
    return {{LogEntry::EntryType, type},
            {LogEntry::EntryStatus, status},
            {LogEntry::HDReference, std::to_string(cart)},
            {LogEntry::ActualEndType, endType}};
}

Columns With(Columns columns, std::string_view name, const DbValue& value) {
    columns.emplace_back(name, value);
    return columns;
}

struct Timing {
    float total = 0;
    std::vector<float> starts;   // EstimatedStartTime of the entries after the hour start
    std::vector<float> lengths;  // EstimatedLength of the same
    float hourStartLength = 0;
};

// Runs the recalculation on the hour and reads back what it wrote.
Timing Recalculate(ImportStation& station, const DayTime& hour, StartTimeOptions options = {}) {
    Timing timing;
    {
        TableCursor log;
        EXPECT_THAT(OpenLogTable(station.db, log), Succeeded());
        timing.total =
            UpdateStartTimes(log, HourStartQIndex(hour), hour, station.audiowall, options).total;
    }
    std::vector<LogRow> rows = station.RowsOfHour(hour.day, static_cast<int>(hour.seconds / 3600));
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i == 0) {
            timing.hourStartLength = static_cast<float>(rows[i].Num("EstimatedLength"));
            continue;
        }
        timing.starts.push_back(static_cast<float>(rows[i].Num("EstimatedStartTime")));
        timing.lengths.push_back(static_cast<float>(rows[i].Num("EstimatedLength")));
    }
    return timing;
}

constexpr float k14 = 14 * 3600;

TEST(UpdateStartTimes, SongsOneAfterTheOther) {
    ImportStation station;
    DayTime hour = HourOf(kMarch7, 14);
    AddHour(station.db, hour, {Audio(7, 4000), Audio(7, 4002), Audio(7, 4003)});
    Timing t = Recalculate(station, hour);
    EXPECT_EQ(t.total, 590);
    EXPECT_EQ(t.hourStartLength, 590);
    EXPECT_EQ(t.starts, (std::vector<float>{k14, k14 + 180, k14 + 380}));
    EXPECT_EQ(t.lengths, (std::vector<float>{180, 200, 210}));
}

TEST(UpdateStartTimes, EntriesThatAreSkippedOrSilent) {
    ImportStation station;
    DayTime hour = HourOf(kMarch7, 14);
    AddHour(station.db, hour,
            {Audio(7, 4000), Audio(7, 4002, 6), Audio(7, 4002, 3), Audio(7, 4002, 10),
             Audio(7, 4001), Audio(2, 0), Audio(8, 0), Audio(7, 4003)});
    Timing t = Recalculate(station, hour);
    EXPECT_EQ(t.total, 390);
    // Status bits 1, 4 and 8 keep an entry out of the timing: its times are not written.
    EXPECT_EQ(t.starts,
              (std::vector<float>{k14, 0, 0, 0, k14 + 180, k14 + 180, k14 + 180, k14 + 180}));
    EXPECT_EQ(t.lengths, (std::vector<float>{180, 0, 0, 0, 0, 0, 0, 210}));
}

TEST(UpdateStartTimes, TimeEntriesWaitButNeverGoBack) {
    // Songs of 180 s; a time entry at 14:30 after 1500 s and after 2000 s of songs.
    for (int songs : {5, 10, 11}) {  // 900, 1800 (exactly 14:30), 1980 s
        SCOPED_TRACE(songs);
        ImportStation station;
        DayTime hour = HourOf(kMarch7, 14);
        std::vector<Columns> entries(songs, Audio(7, 4000));
        entries.push_back({{LogEntry::EntryType, 1},
                           {LogEntry::EntryStatus, 2},
                           {LogEntry::ReferenceStartTime, 14.5f * 3600}});
        entries.push_back(Audio(7, 4000));
        AddHour(station.db, hour, entries);
        Timing t = Recalculate(station, hour, {});
        ASSERT_EQ(t.starts.size(), static_cast<size_t>(songs + 2));
        float reached = k14 + 180 * songs;
        float expected = reached < 14.5f * 3600 ? 14.5f * 3600 : reached;
        EXPECT_EQ(t.starts.back(), expected);
        EXPECT_EQ(t.starts[songs], expected);   // the time entry starts at its time
        EXPECT_EQ(t.total, 180 * (songs + 1));  // waiting is not counted
    }
}

TEST(UpdateStartTimes, ExtroOverrideBrixelAndSplits) {
    ImportStation station;
    DayTime hour = HourOf(kMarch7, 14);
    AddHour(station.db, hour,
            {With(Audio(7, 4000), LogEntry::ExtroOverride, 100.0f),
             With(Audio(9, 4000), LogEntry::Information1, 2.0f),
             With(Audio(9, 4000), LogEntry::Information1, 1.0f),
             {{LogEntry::EntryType, 14},
              {LogEntry::EntryStatus, 2},
              {LogEntry::EstimatedLength, 45.0f}}});
    EXPECT_EQ(Recalculate(station, hour, {0, 1}).lengths, (std::vector<float>{100, 0, 180, 45}));
    EXPECT_EQ(Recalculate(station, hour, {0, 0}).lengths, (std::vector<float>{100, 0, 180, 0}));
}

TEST(UpdateStartTimes, HourWithoutEntriesKeepsItsLength) {
    ImportStation station;
    DayTime hour = HourOf(kMarch7, 14);
    AddEntry(station.db, HourStartQIndex(hour),
             {{LogEntry::EntryType, 98},
              {LogEntry::EntryStatus, 2},
              {LogEntry::EstimatedLength, 77.0f}});
    Timing t = Recalculate(station, hour);
    EXPECT_EQ(t.total, 0);
    EXPECT_EQ(t.hourStartLength, 77);
}

TEST(UpdateStartTimes, TheNextHourEndsTheWalk) {
    ImportStation station;
    AddHour(station.db, HourOf(kMarch7, 14), {Audio(7, 4000)});
    AddHour(station.db, HourOf(kMarch7, 15), {Audio(7, 4002)});
    EXPECT_EQ(Recalculate(station, HourOf(kMarch7, 14)).total, 180);
}

TEST(UpdateStartTimes, SweeperLaidOverTheNextItem) {
    struct Case {
        int32_t sweeperMode;
        float introEnd;
        int nextStatus;
        float songStart;  // seconds after 14:00
        float total;
    } cases[] = {
        {0, 12, 2, 0, 200},  // the intro outlasts the sweeper: both start together
        {0, 5, 2, 3, 203},   // the intro ends where the sweeper ends
        {1, 5, 2, 3, 203},  {2, 5, 2, 8, 208},  // "Dry": the sweeper plays its own length first
        {0, 5, 6, 8, 8},    // a soft-deleted song carries nothing; the sweeper counts alone
        {0, 0, 2, 8, 208},  // no intro to talk over
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.sweeperMode << " " << c.introEnd << " " << c.nextStatus);
        ImportStation station;
        FixtureCart song{4005, "Intro song", 200};
        song.introEnd = c.introEnd;
        testing::WriteAudiowall(station.dir / "wall", 9999, {{701, "Sweeper", 8}, song});
        DayTime hour = HourOf(kMarch7, 14);
        AddHour(station.db, hour, {Audio(3, 701, 2, 100), Audio(7, 4005, c.nextStatus)});
        Timing t = Recalculate(station, hour, {c.sweeperMode, 1});
        EXPECT_EQ(t.total, c.total);
        ASSERT_EQ(t.starts.size(), 2u);
        if (c.nextStatus == 2) {
            EXPECT_EQ(t.starts[1], k14 + c.songStart);
        }
    }
}

TEST(SweeperLead, Table) {
    auto cart = [](float audio, float length, float introStart, float introEnd) {
        CartRecord record;
        record.AudioLength() = audio;
        record.Length() = length;
        record.IntroStart() = introStart;
        record.IntroEnd() = introEnd;
        return record;
    };
    struct Case {
        float introStart, introEnd, sweeperAudio, sweeperLength, lead;
    } cases[] = {
        {0, 12, 8, 8, 0}, {0, 5, 8, 8, 3}, {0, 8, 8, 8, 0},  {2, 5, 8, 7.5f, 7.5f},
        {2, 20, 8, 7, 0}, {0, 0, 8, 7, 7}, {3, 6, 3, 4, -3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SweeperLead(cart(200, 200, c.introStart, c.introEnd),
                              cart(c.sweeperAudio, c.sweeperLength, 0, 0)),
                  c.lead)
            << c.introStart << " " << c.introEnd << " " << c.sweeperAudio;
    }
}

// Hours 22:00 and 23:00 of 7 March and every hour of 8 March, one entry each.
void AddTwoDays(ImportStation& station) {
    AddHour(station.db, HourOf(kMarch7, 22), {Audio(7, 4000)});
    AddHour(station.db, HourOf(kMarch7, 23), {Audio(7, 4000)});
    for (int h = 0; h < 24; ++h) AddHour(station.db, HourOf(kMarch7 + 1, h), {Audio(7, 4000)});
}

std::vector<int> HoursLeft(ImportStation& station) {
    std::vector<int> hours;
    for (const LogRow& row : station.Rows()) {
        if (row.Int("EntryType") != 98) continue;
        DayTime stamp = DayTimeOfQIndex(row.qIndex);
        hours.push_back((stamp.day - kMarch7) * 24 + static_cast<int>(stamp.seconds / 3600));
    }
    return hours;
}

TEST(RemoveLogHours, MasksAndRanges) {
    const std::string all(168, 'Y');
    // Wednesday 8 March: hours of week 48 to 71. Select 8 March 01:00 and 03:00 only.
    std::string some(168, ' ');
    some[48 + 1] = 'Y';
    some[48 + 3] = 'x';
    struct Case {
        const char* name;
        DayTime from;
        DayTime to;
        std::string mask;
        int removed;  // hours removed, of 26
        std::vector<int> gone;
    } cases[] = {
        {"blank mask", HourOf(kMarch7, 0), HourOf(kMarch7 + 2, 0), std::string(168, ' '), 0, {}},
        {"full mask, part of the schedule",
         HourOf(kMarch7, 23),
         DayTime{kMarch7 + 1, 2 * 3600 + 3599.99f},
         all,
         4,
         {23, 24, 25, 26}},
        {"full mask, wider than the schedule",
         DayTime{36526, 0},
         HourOf(kMarch7 + 30, 5),
         all,
         26,
         {}},
        {"selected hours", HourOf(kMarch7, 0), HourOf(kMarch7 + 1, 23), some, 2, {25, 27}},
        {"wholly before the schedule", DayTime{36526, 0}, HourOf(kMarch7, 21), all, 0, {}},
        {"wholly after the schedule", HourOf(kMarch7 + 2, 0), HourOf(kMarch7 + 3, 0), all, 0, {}},
        {"short mask", HourOf(kMarch7, 0), HourOf(kMarch7 + 1, 23), "YYY", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportStation station;
        AddTwoDays(station);
        std::vector<int> before = HoursLeft(station);
        station.db.Close();
        EXPECT_TRUE(RemoveLogHours(station.databasePath, c.from, c.to, c.mask, station.ui));
        ASSERT_THAT(station.db.Open(station.databasePath), Succeeded());
        std::vector<int> after = HoursLeft(station);
        EXPECT_EQ(after.size(), before.size() - c.removed);
        EXPECT_EQ(station.Rows().size(), after.size() * 2);  // no entry left without its hour
        for (int hour : c.gone) {
            EXPECT_EQ(std::count(after.begin(), after.end(), hour), 0) << hour;
        }
        EXPECT_TRUE(station.ui.messages.empty());
        EXPECT_EQ(station.ui.databaseProgressTasks.back(), "Finished Removing Entries");
        EXPECT_FALSE(station.ui.databaseProgressVisible);
    }
}

TEST(RemoveLogHours, EmptyTableAndMissingFile) {
    ImportStation station;
    station.db.Close();
    EXPECT_TRUE(RemoveLogHours(station.databasePath, HourOf(kMarch7, 0), HourOf(kMarch7, 5),
                               std::string(168, 'Y'), station.ui));
    EXPECT_FALSE(RemoveLogHours(station.dir / "missing.mdb", HourOf(kMarch7, 0), HourOf(kMarch7, 5),
                                std::string(168, 'Y'), station.ui));
    EXPECT_TRUE(station.ui.messages.empty());
}

TEST(EmptyTables, LogAndSongs) {
    ImportStation station;
    AddTwoDays(station);
    ASSERT_THAT(station.db.Execute("INSERT INTO [Songs] ([SongNumber], [SongTitle]) VALUES (?, ?)",
                                   {1, "A song"}),
                Succeeded());
    station.db.Close();
    EXPECT_TRUE(RemoveAllLogEntries(station.databasePath, station.ui));
    ASSERT_THAT(station.db.Open(station.databasePath), Succeeded());
    EXPECT_TRUE(station.Rows().empty());
    station.db.Close();
    EXPECT_TRUE(EmptySongs(station.databasePath, station.ui));
    ASSERT_THAT(station.db.Open(station.databasePath), Succeeded());
    QueryResult songs;
    ASSERT_THAT(station.db.Query("SELECT * FROM [Songs]", {}, songs), Succeeded());
    EXPECT_TRUE(songs.Eof());
    songs.Close();
    station.db.Close();
    EXPECT_FALSE(RemoveAllLogEntries(station.dir / "missing.mdb", station.ui));
    EXPECT_FALSE(EmptySongs(station.dir / "missing.mdb", station.ui));
    EXPECT_TRUE(station.ui.messages.empty());
    EXPECT_FALSE(station.ui.databaseProgressVisible);
}

}  // namespace
}  // namespace vantor

#include "support/cursor_walk.h"
#include "support/succeeded.h"
#include "import_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>

#include "common/ole_date.h"
#include "playoutdb/log_table.h"
#include "dbengine/schema.h"
#include "playoutdb/playout_tables.h"

namespace vantor::testing {

std::string HeaderDate(int32_t day) {
    DateParts parts = SplitDate(day);
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", parts.day, parts.month, parts.year % 100);
    return text;
}

DayTime HourOf(int32_t day, int hour) {
    return DayTime{day, static_cast<float>(hour * 3600)};
}

namespace {

std::vector<FixtureCart> StationCarts() {
    std::vector<FixtureCart> carts = {
        {100, "Station Jingle", 10}, {700, "Sweeper", 8},   {1500, "Advert One", 30},
        {2500, "Plain Cart", 20},    {4000, "Song A", 180}, {4001, "Silent Song", 0, false},
        {4002, "Song B", 200},       {4003, "Song C", 210},
    };
    return carts;
}

}  // namespace

ImportStation::ImportStation(Backend backend, const std::vector<FixtureCart>& moreCarts)
    : logPath(dir / "LOGS"),
      location(backend, dir / "SCHEDULE", "KORA26.MDB"),
      databasePath(location.name()),
      context{ui, clock, audiowall, settings, {}, {}, dir / "error.log"} {
    std::vector<FixtureCart> carts = StationCarts();
    carts.insert(carts.end(), moreCarts.begin(), moreCarts.end());
    WriteAudiowall(dir / "wall", 9999, carts);
    PointAudiowallAt(audiowall, dir / "wall", 9999);
    std::filesystem::create_directories(dir / "SCHEDULE");
    std::filesystem::create_directories(logPath);
    EXPECT_THAT(location.Create(db), Succeeded());
    EXPECT_THAT(VerifyPlayoutDatabase(ui, db), Succeeded());
    context.logFiles = SchedulerLogNaming{logPath, "VN", "yymmdd"};
    settings.UnderrunningDuration = 0;  // reported only by the tests that ask for it
}

DbError ImportStation::OpenElsewhere(Database& other) const {
    return location.Open(other);
}

std::string ImportStation::WriteLog(int32_t day, const SchedulerLogWriter& log) const {
    return log.Save(LogFileName(day, context.logFiles));
}

bool ImportStation::Import(int32_t day, int firstHour, int32_t lastDay, int lastHour) {
    DayTime start = HourOf(day, firstHour);
    DayTime end{lastDay, static_cast<float>(lastHour * 3600) + 3599.99f};
    return ImportHours(db, start, end, context);
}

std::vector<LogRow> ImportStation::Rows() {
    std::vector<LogRow> rows;
    TableCursor log;
    if (!OpenLogTable(db, log).Ok()) return rows;
    for (bool ok = testing::First(log); ok && !log.Eof(); ok = testing::Next(log)) {
        LogRow row;
        for (const FieldDef& field : log.Fields()) row.values[field.name] = log.Field(field.name);
        row.qIndex = row.Num("QIndex");
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<LogRow> ImportStation::RowsOfHour(int32_t day, int hour) {
    const double first = HourStartQIndex(HourOf(day, hour));
    const double last = HourEndQIndex(HourOf(day, hour));
    std::vector<LogRow> rows;
    for (LogRow& row : Rows()) {
        if (row.qIndex >= first && row.qIndex <= last) rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> ImportStation::ErrorLines() const {
    static const std::regex stamp(R"(^\d{2}/\d{2}/\d{4} \d{2}:\d{2}:\d{2} )");
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(context.errorLogPath));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::regex_replace(line, stamp, ""));
    }
    return lines;
}

void ImportStation::AddRow(double qIndex, int32_t type, int32_t flags,
                           const std::string& description) {
    TableCursor log;
    ASSERT_THAT(OpenLogTable(db, log), Succeeded());
    ASSERT_TRUE(NewLogEntry(log, qIndex));
    ASSERT_THAT(log.Set(LogEntry::EntryType, type), Succeeded());
    ASSERT_THAT(log.Set(LogEntry::EntryStatus, 2), Succeeded());
    ASSERT_THAT(log.Set(LogEntry::EntryFlags, flags), Succeeded());
    ASSERT_THAT(log.Set(LogEntry::Description1, description), Succeeded());
    ASSERT_THAT(log.Update(), Succeeded());
}

}  // namespace vantor::testing

// What another program reading the database sees while an import runs: every hour it can see
// is whole and carries its final start times.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "import_fixture.h"
#include "playoutdb/log_table.h"
#include "support/cursor_walk.h"

namespace vantor {
namespace {

using testing::Backend;
using testing::BackendName;
using testing::HeaderDate;
using testing::HourOf;
using testing::ImportStation;
using testing::kMarch7;
using testing::SchedulerLogWriter;

// Looks at the Log table through a connection of its own, as the playout engine does, every
// time the import hands control to window events (at every progress text, so between any two
// steps of the import that a reader could fall between).
class ReadingUserInterface : public ScriptedUserInterface {
  public:
    explicit ReadingUserInterface(const ImportStation& station) : station_(station) {}

    void ProcessEvents() override {
        ScriptedUserInterface::ProcessEvents();
        if (!reader_.IsOpen() && !station_.OpenElsewhere(reader_).Ok()) return;
        ++looks;
        QueryResult rows;
        if (!reader_
                 .Query("SELECT QIndex, EntryType, EntryFlags, EstimatedStartTime, "
                        "EstimatedLength, ReferenceStartTime FROM Log ORDER BY QIndex",
                        {}, rows)
                 .Ok()) {
            faults.push_back("the reader could not read the Log table");
            return;
        }
        struct Hour {
            double key = 0;
            bool imported = false;
            double total = 0;
            double start = 0;
            int entries = 0;
            int startingAtTheHour = 0;
        };
        std::vector<Hour> hours;
        for (bool more = true; more && !rows.Eof(); more = testing::Next(rows)) {
            if (rows.Field(1).AsInteger() == 98) {
                Hour hour;
                hour.key = rows.Field(0).AsDouble();
                hour.imported = (rows.Field(2).AsInteger() & 1) != 0;
                hour.total = rows.Field(4).AsDouble();
                hour.start = rows.Field(5).AsDouble();
                hours.push_back(hour);
            } else if (!hours.empty()) {
                ++hours.back().entries;
                if (rows.Field(3).AsDouble() == hours.back().start) {
                    ++hours.back().startingAtTheHour;
                }
            }
        }
        for (const Hour& hour : hours) {
            if (!hour.imported) continue;
            seenHours.insert(hour.key);
            if (hour.total == 0 || hour.startingAtTheHour == hour.entries) {
                faults.push_back("hour " + std::to_string(hour.key) + " with total " +
                                 std::to_string(hour.total) + ", " +
                                 std::to_string(hour.startingAtTheHour) + " of " +
                                 std::to_string(hour.entries) + " entries at its start");
            }
        }
    }

    int looks = 0;
    std::set<double> seenHours;
    std::vector<std::string> faults;

  private:
    const ImportStation& station_;
    Database reader_;
};

class HourVisibility : public ::testing::TestWithParam<Backend> {};

INSTANTIATE_TEST_SUITE_P(Backends, HourVisibility,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

TEST_P(HourVisibility, AReaderNeverSeesAnImportedHourWithoutItsTimes) {
    for (bool inMemory : {true, false}) {
        SCOPED_TRACE(inMemory ? "fresh hours in memory" : "every hour walked in the table");
        ImportStation station(GetParam());
        ReadingUserInterface reader(station);
        HourImportContext context = station.context;
        HourImportContext watched{
            reader,           context.clock,  context.audiowall,    context.settings,
            context.logFiles, context.timing, context.errorLogPath, inMemory};
        SchedulerLogWriter log;
        for (int hour = 5; hour <= 9; ++hour) {
            log.Header(HeaderDate(kMarch7), hour, "Clock")
                .Item("4000", "Song A")
                .Item("100", "Jingle")
                .Item("4002", "Song B");
        }
        station.WriteLog(kMarch7, log);
        // An hour made by hand: its entries are added among existing rows and walked in the
        // table whichever way fresh hours go.
        station.AddRow(HourStartQIndex(HourOf(kMarch7, 7)), 98, 0, "By hand");

        ASSERT_TRUE(ImportHours(station.db, HourOf(kMarch7, 5), HourOf(kMarch7, 9), watched));
        EXPECT_EQ(reader.faults, std::vector<std::string>{});
        EXPECT_EQ(reader.seenHours.size(), 5u);  // the reader did see every hour come in
        EXPECT_GT(reader.looks, 20);
    }
}

}  // namespace
}  // namespace vantor

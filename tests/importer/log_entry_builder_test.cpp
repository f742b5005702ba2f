#include "importer/log_entry_builder.h"

#include <gtest/gtest.h>

#include "audiowall/cart_numbers.h"
#include "common/report_file.h"
#include "import_fixture.h"
#include "playoutdb/log_table.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::HourOf;
using testing::ImportStation;
using testing::kMarch7;
using testing::LogRow;

// Adds entries straight through AddLogEntry on the station's open Log table.
struct EntryBench {
    EntryBench() { EXPECT_THAT(OpenLogTable(station.db, log), Succeeded()); }
    bool Add(ImportEntry& entry, int32_t hourMode = 1) {
        EntryTarget target{log, station.audiowall, station.ui, station.clock, errorReport};
        return AddLogEntry(target, q, hour, entry, hourMode);
    }
    LogRow Last() {
        log.Close();
        std::vector<LogRow> rows = station.Rows();
        EXPECT_THAT(OpenLogTable(station.db, log), Succeeded());
        return rows.empty() ? LogRow{} : rows.back();
    }

    ImportStation station;
    ReportFile errorReport{station.context.errorLogPath};
    TableCursor log;
    DayTime hour = HourOf(kMarch7, 14);
    double q = HourStartQIndex(hour);
};

TEST(AddLogEntry, LengthComesFromTheCartNotFromItsAudio) {
    EntryBench bench;
    // A cart whose audio runs longer than the part of it that is played.
    testing::FixtureCart fixture(4010, "Trimmed Song", 200);
    CartRecord cart = testing::FixtureCartRecord(fixture);
    cart.Length() = 185;
    testing::WriteCart(bench.station.dir / ("wall/" + testing::CartListName(PartOfCart(4010))),
                       RecordOfCart(4010), cart);

    ImportEntry entry;
    entry.EntryType = TypeCode(EntryType::Song);
    entry.EntryStatus = 2;
    entry.HDReference = "4010";
    const double before = bench.q;
    ASSERT_TRUE(bench.Add(entry));
    EXPECT_EQ(bench.q, before + QIndexStep);

    LogRow row = bench.Last();
    EXPECT_EQ(row.qIndex, before);
    EXPECT_EQ(row.Num("ScheduledLength"), 185);
    EXPECT_EQ(row.Num("EstimatedLength"), 185);
    EXPECT_EQ(row.Num("EstimatedStartTime"), 14 * 3600);
    EXPECT_EQ(row.Text("Description1"), "Trimmed Song");
    EXPECT_TRUE(bench.station.ErrorLines().empty());
}

TEST(AddLogEntry, ActualEndTypeFollowsTheHourMode) {
    struct Case {
        int32_t hourMode;
        int32_t scheduledEndType;
        int32_t actualEndType;
    } cases[] = {
        {1, 0, 0},  {1, 50, 50}, {1, 100, 100},  // as scheduled
        {2, 0, 50}, {2, 50, 50}, {2, 100, 100},  // only a sweeper keeps its overlap
    };
    EntryBench bench;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hourMode) + " " + std::to_string(c.scheduledEndType));
        ImportEntry entry;
        entry.EntryType = TypeCode(EntryType::TextMessage);
        entry.ScheduledEndType = c.scheduledEndType;
        ASSERT_TRUE(bench.Add(entry, c.hourMode));
        LogRow row = bench.Last();
        EXPECT_EQ(row.Int("ScheduledEndType"), c.scheduledEndType);
        EXPECT_EQ(row.Int("ActualEndType"), c.actualEndType);
    }
}

}  // namespace
}  // namespace vantor

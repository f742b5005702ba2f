// The unattended import killed at any moment: the database stays sound, every hour in it is
// whole with its final start times, and the next "/AUTO" completes the range exactly as a run
// that was never interrupted.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <vector>

#include "common/clock.h"
#include "common/locale.h"
#include "dbengine/engine.h"
#include "playoutdb/log_table.h"
#include "program_runner.h"
#include "support/cursor_walk.h"
#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"
#include "support/temp_dir.h"

namespace vantor::testing {
namespace {

constexpr int kDays = 6;
constexpr int kKills = 12;

// The rows of every hour in the Log table, by the hour's start key; every column of every row.
using Hours = std::map<double, std::vector<std::vector<DbValue>>>;

Hours HoursIn(const std::string& databasePath) {
    Hours hours;
    Database db;
    if (!db.Open(databasePath).Ok()) return hours;
    TableCursor log;
    if (!OpenLogTable(db, log).Ok()) return hours;
    for (bool more = First(log); more && !log.Eof(); more = Next(log)) {
        std::vector<DbValue> row;
        for (size_t i = 0; i < log.Fields().size(); ++i)
            row.push_back(log.Field(static_cast<int>(i)));
        hours[HourStartOfQIndex(row[0].AsDouble())].push_back(std::move(row));
    }
    return hours;
}

std::string IntegrityOf(const std::string& databasePath) {
    Database db;
    if (DbError e = db.Open(databasePath); !e.Ok()) return "cannot open: " + e.description;
    QueryResult result;
    if (DbError e = db.Query("PRAGMA integrity_check", {}, result); !e.Ok()) return e.description;
    return result.Eof() ? "no answer" : result.Field(0).AsText();
}

// Counts the hours committed so far, reading the file with the library alone (no sidecar lock
// file, nothing the program could take for another workstation).
class HourCounter {
  public:
    explicit HourCounter(const std::string& databasePath) {
        sqlite3_open_v2(databasePath.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_busy_timeout(db_, 50);
    }
    ~HourCounter() {
        sqlite3_finalize(count_);
        sqlite3_close(db_);
    }
    int Hours() {
        if (!count_ && sqlite3_prepare_v2(db_, "SELECT count(*) FROM Log WHERE EntryType = 98", -1,
                                          &count_, nullptr) != SQLITE_OK) {
            return 0;
        }
        int hours = sqlite3_step(count_) == SQLITE_ROW ? sqlite3_column_int(count_, 0) : 0;
        sqlite3_reset(count_);
        return hours;
    }

  private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* count_ = nullptr;
};

class CrashTest : public ::testing::Test {
  protected:
    static InstallationOptions Options() {
        InstallationOptions options;
        options.maxCart = 5000;
        options.carts = {{100, "Jingle", 9}, {700, "Sweeper", 6}, {1001, "Advert", 30}};
        for (int n = 4000; n < 4040; ++n) options.carts.emplace_back(n, "Song", 170.5f + n % 7);
        options.carts[1].introEnd = 0;
        options.carts[3].introEnd = 11;
        // One file for every day: "/AUTO" then proposes the whole file again, and whatever a
        // killed run left out is imported by the next.
        options.dateFormat = "";
        options.underrunningDuration = 60;
        return options;
    }

    // A station with several days of hours of about forty entries each.
    std::unique_ptr<KoraInstallation> Station(const std::string& root) const {
        auto station = std::make_unique<KoraInstallation>(root, Options());
        SchedulerLogWriter log;
        for (int d = 1; d <= kDays; ++d) {
            for (int hour = 0; hour < 24; ++hour) {
                log.Header(SchedulerDate(today_ + d), hour, "Clock " + std::to_string(hour));
                for (int i = 0; i < 36; ++i) {
                    if (i % 9 == 4) log.Item("700", "Sweeper");
                    log.Item(std::to_string(4000 + (d * 31 + hour * 7 + i) % 40), "Song");
                    if (i % 12 == 6) log.Note("$$ 00:20:00 Break").Item("1001", "Advert");
                }
                log.Note("$T59:00").Item("100", "Jingle");
            }
        }
        station->WriteLog(today_ + 1, log);
        return station;
    }

    const int32_t today_ = SystemClock().Today();
};

TEST_F(CrashTest, AKilledImportLeavesWholeHoursAndTheNextRunCompletesIt) {
    // The run that is never interrupted: what every other run must end with.
    TempDir referenceDir;
    auto reference = Station(referenceDir.path());
    ProgramRun whole =
        RunProgram({"--headless", "KORA26.MDB", "/AUTO", "/QUIT"}, reference->Environment());
    ASSERT_EQ(whole.exitCode, 0) << whole.err << whole.out;
    const Hours expected = HoursIn(reference->databasePath);
    ASSERT_EQ(expected.size(), static_cast<size_t>(kDays * 24));

    int killedWithSomeHours = 0;
    for (int k = 1; k <= kKills; ++k) {
        SCOPED_TRACE("kill " + std::to_string(k));
        TempDir dir;
        auto station = Station(dir.path());
        // Spread over the import: the k-th kill comes once k thirteenths of the hours are in,
        // a little later each time, so that it falls in a different step of the next hour.
        const int hoursIn = static_cast<int>(expected.size()) * k / (kKills + 1);
        HourCounter counter(station->databasePath);
        int pollsAfter = 0;
        ProgramRun killed = RunProgramKilledWhen(
            {"--headless", "KORA26.MDB", "/AUTO", "/QUIT"}, station->Environment(),
            [&] { return counter.Hours() >= hoursIn && ++pollsAfter > k % 4; });

        EXPECT_EQ(IntegrityOf(station->databasePath), "ok");
        const Hours left = HoursIn(station->databasePath);
        if (killed.killed && left.size() < expected.size()) ++killedWithSomeHours;
        for (const auto& [hourStart, rows] : left) {
            auto it = expected.find(hourStart);
            ASSERT_NE(it, expected.end()) << "an hour the import does not write: " << hourStart;
            EXPECT_TRUE(rows == it->second)
                << "hour " << hourStart << " is not whole with its "
                << "final start times (" << rows.size() << " of " << it->second.size() << " rows)";
        }

        ProgramRun next =
            RunProgram({"--headless", "KORA26.MDB", "/AUTO", "/QUIT"}, station->Environment());
        EXPECT_TRUE(next.exitCode == 0 || next.exitCode == 4) << next.err;
        EXPECT_EQ(IntegrityOf(station->databasePath), "ok");
        EXPECT_TRUE(HoursIn(station->databasePath) == expected)
            << "the next run did not complete the range as an uninterrupted run";
    }
    // The kills did fall inside the import.
    EXPECT_GT(killedWithSomeHours, kKills / 2);
}

// A re-send killed at any moment, in its removal or in its import: one plain "/AUTO" after it
// leaves the Log table as the re-send would have. The station has one file per day, so that
// "/AUTO" proposes only what comes after the end of the schedules: a removed hour that
// nothing brings back stays a hole.
TEST_F(CrashTest, AKilledReSendIsCompletedByTheNextRun) {
    InstallationOptions options = Options();
    options.dateFormat = "yymmdd";
    auto datedStation = [&](const std::string& root) {
        auto station = std::make_unique<KoraInstallation>(root, options);
        for (int d = 1; d <= kDays; ++d) {
            SchedulerLogWriter log;
            for (int hour = 0; hour < 24; ++hour) {
                log.Header(SchedulerDate(today_ + d), hour, "Clock " + std::to_string(hour));
                for (int i = 0; i < 36; ++i)
                    log.Item(std::to_string(4000 + (d * 31 + hour * 7 + i) % 40), "Song");
            }
            station->WriteLog(today_ + d, log);
        }
        return station;
    };
    const std::vector<std::string> importAll = {"--headless", "KORA26.MDB", "/AUTO", "/QUIT"};
    // Days 2 to 4 of the six, in the middle of the schedules.
    const std::vector<std::string> reSend = {
        "--headless",
        "KORA26.MDB",
        "--start-date=" + FormatDate(today_ + 2, "yyyy-mm-dd"),
        "--start-hour=0",
        "--end-date=" + FormatDate(today_ + 4, "yyyy-mm-dd"),
        "--end-hour=23",
        "--resend",
        "--yes"};
    const int all = kDays * 24;
    const int resent = 3 * 24;

    TempDir referenceDir;
    auto reference = datedStation(referenceDir.path());
    ASSERT_EQ(RunProgram(importAll, reference->Environment()).exitCode, 0);
    ProgramRun whole = RunProgram(reSend, reference->Environment());
    ASSERT_EQ(whole.exitCode, 0) << whole.err << whole.out;
    const Hours expected = HoursIn(reference->databasePath);
    ASSERT_EQ(expected.size(), static_cast<size_t>(all));

    constexpr int kReSendKills = 8;
    int killedInRemoval = 0;
    int killedInImport = 0;
    for (int k = 1; k <= kReSendKills; ++k) {
        SCOPED_TRACE("kill " + std::to_string(k));
        TempDir dir;
        auto station = datedStation(dir.path());
        ASSERT_EQ(RunProgram(importAll, station->Environment()).exitCode, 0);
        // Odd kills fall in the removal, even ones in the import that follows it, each a
        // little further on.
        const bool inRemoval = k % 2 == 1;
        const int step = resent * (k + 1) / 2 / (kReSendKills / 2 + 1);
        HourCounter counter(station->databasePath);
        bool allRemoved = false;
        ProgramRun killed = RunProgramKilledWhen(reSend, station->Environment(), [&] {
            const int hours = counter.Hours();
            if (hours <= all - resent) allRemoved = true;
            return inRemoval ? hours <= all - step : allRemoved && hours >= all - resent + step;
        });
        const Hours left = HoursIn(station->databasePath);
        if (killed.killed && left.size() < expected.size()) ++(inRemoval ? killedInRemoval : killedInImport);

        ProgramRun next = RunProgram(importAll, station->Environment());
        EXPECT_TRUE(next.exitCode == 0 || next.exitCode == 4) << next.err;
        EXPECT_EQ(IntegrityOf(station->databasePath), "ok");
        EXPECT_TRUE(HoursIn(station->databasePath) == expected)
            << "the next run did not complete the re-send (" << HoursIn(station->databasePath).size()
            << " of " << expected.size() << " hours)";
        // Completed, the re-send is not done again.
        ProgramRun after = RunProgram(importAll, station->Environment());
        EXPECT_EQ(after.exitCode, 0) << after.err;
        EXPECT_TRUE(HoursIn(station->databasePath) == expected);
    }
    // The kills did fall inside both halves.
    EXPECT_GT(killedInRemoval, 0);
    EXPECT_GT(killedInImport, 0);
}

}  // namespace
}  // namespace vantor::testing

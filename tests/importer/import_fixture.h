#pragma once
// A small station on disk for the import tests: a fresh playout database, an Audiowall with a
// few carts, a logs directory and the error report file, with the context the hour import
// needs. Days are 7 March 2000 and after; log headers are written day/month/year.

#include <map>
#include <string>
#include <vector>

#include "audiowall/audiowall_store.h"
#include "common/clock.h"
#include "support/scripted_user_interface.h"
#include "importer/hour_import.h"
#include "dbengine/engine.h"
#include "support/audiowall_fixture.h"
#include "support/scheduler_log_writer.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vantor::testing {

// A clock that moves on a little at every reading, so that the short pause at the end of an
// import ends without the test waiting for it.
class SteppingClock : public Clock {
  public:
    explicit SteppingClock(OleDate start) : now_(start) {}
    OleDate Now() const override {
        now_ += 0.25 / 86400.0;
        return now_;
    }

  private:
    mutable OleDate now_;
};

inline constexpr int32_t kMarch7 = 36592;  // 7 March 2000, a Tuesday

// "07/03/00" for kMarch7 + offset.
std::string HeaderDate(int32_t day);
DayTime HourOf(int32_t day, int hour);

// One row of the Log table, the columns the tests look at.
struct LogRow {
    double qIndex = 0;
    std::map<std::string, DbValue> values;
    const DbValue& operator[](const std::string& column) const { return values.at(column); }
    long long Int(const std::string& column) const { return values.at(column).AsInteger(); }
    double Num(const std::string& column) const { return values.at(column).AsDouble(); }
    std::string Text(const std::string& column) const { return values.at(column).AsText(); }
};

class ImportStation {
  public:
    // Carts on the Audiowall: 100 jingle (10 s), 700 sweeper (8 s, intro-less), 1500 advert
    // (30 s), 2500 plain cart (20 s), 4000 "Song A" (180 s), 4002 "Song B" (200 s),
    // 4003 "Song C" (210 s); 4001 has a title but no audio. More carts may be given.
    explicit ImportStation(const std::vector<FixtureCart>& moreCarts = {})
        : ImportStation(Backend::Sqlite, moreCarts) {}
    // The same station with its playout database on the given backend.
    explicit ImportStation(Backend backend, const std::vector<FixtureCart>& moreCarts = {});

    // Opens the playout database on a connection of its own, as another program would.
    DbError OpenElsewhere(Database& other) const;

    // Writes the day's log file.
    std::string WriteLog(int32_t day, const SchedulerLogWriter& log) const;
    // Imports whole hours from (day, firstHour) to (lastDay, lastHour).
    bool Import(int32_t day, int firstHour, int32_t lastDay, int lastHour);
    bool Import(int32_t day, int firstHour, int lastHour) {
        return Import(day, firstHour, day, lastHour);
    }

    std::vector<LogRow> Rows();
    std::vector<LogRow> RowsOfHour(int32_t day, int hour);
    // Lines of the error report file, stamps removed from the stamped ones.
    std::vector<std::string> ErrorLines() const;
    // Adds a row directly (an hour made by hand, a stray entry).
    void AddRow(double qIndex, int32_t type, int32_t flags = 0,
                const std::string& description = "");

    TempDir dir;
    ScriptedUserInterface ui;
    SteppingClock clock{kMarch7 + 3};
    AudiowallState audiowall;
    ImportSettings settings;
    std::string logPath;
    TestDatabaseLocation location;
    // The database file's path, or the name a server knows it by.
    std::string databasePath;
    Database db;
    HourImportContext context;
};

}  // namespace vantor::testing

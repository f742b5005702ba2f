#pragma once
// A station on disk with the main window's model started on it: the installation's
// directories are this test's own (Windows directory, program directory, trace directory),
// the clock stands on 5 March 2000 at 09:30, and the operator is a script.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "common/clock.h"
#include "common/ole_date.h"
#include "support/scripted_user_interface.h"
#include "importer/main_window_model.h"
#include "importer/import_settings.h"
#include "session/session.h"
#include "playoutdb/log_table.h"
#include "dbengine/engine.h"
#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vantor::testing {

inline const int32_t kMarch5 = DateSerial(2000, 3, 5);
inline const int32_t kMarch6 = DateSerial(2000, 3, 6);
inline const int32_t kMarch7 = DateSerial(2000, 3, 7);
inline const int32_t kMarch8 = DateSerial(2000, 3, 8);

// One header per hour with two songs and a jingle under it.
inline SchedulerLogWriter HoursOf(int32_t day, int firstHour, int lastHour) {
    SchedulerLogWriter log;
    for (int hour = firstHour; hour <= lastHour; ++hour)
        log.Header(SchedulerDate(day), hour, "Clock " + std::to_string(hour))
            .Item("4001", "First song")
            .Item("250", "Station jingle")
            .Item("4002", "Second song");
    return log;
}

// The operator's script, on a clock that moves on a tenth of a second whenever pending events
// are handled, so that the pause at the end of an import comes to its end.
class ClockedScript : public ScriptedUserInterface {
  public:
    explicit ClockedScript(FixedClock& clock) : clock_(clock) {}
    void ProcessEvents() override {
        ScriptedUserInterface::ProcessEvents();
        clock_.AdvanceSeconds(0.1);
    }

  private:
    FixedClock& clock_;
};

class MainWindowTest : public ::testing::Test {
  protected:
    explicit MainWindowTest(InstallationOptions options = DefaultOptions())
        : station_(dir_.path(), options),
          windir_("VANTOR_WINDIR", station_.windowsDirectory),
          programDir_("VANTOR_PROGRAM_DIR", station_.programDirectory),
          traceDir_("VANTOR_TRACE_DIR", station_.traceDirectory) {
        Restart();
    }

    static InstallationOptions DefaultOptions() {
        InstallationOptions options;
        options.maxCart = 5000;
        // The test hours are a few minutes long; only the tests about short hours want them
        // reported.
        options.underrunningDuration = 60;
        options.carts = {
            {250, "Station jingle", 8}, {4001, "First song", 180}, {4002, "Second song", 200}};
        return options;
    }

    // A fresh program run on the same installation.
    void Restart() {
        window_.reset();
        session_.reset();
        session_ = std::make_unique<Session>(ui_, ui_, clock_);
        window_ = std::make_unique<LogImportModel>(*session_);
    }

    // Starts the window with the database named on the command line.
    void Start(const std::string& commandLine = "KORA26.MDB") {
        ASSERT_TRUE(window_->Load(ParseCommandLine(commandLine))) << ::testing::PrintToString(ui_.MessageTexts());
    }

    void SetRange(const std::string& startDate, const std::string& startHour,
                  const std::string& endDate, const std::string& endHour) {
        window_->SetStartDateText(startDate);
        window_->SetStartHourText(startHour);
        window_->SetEndDateText(endDate);
        window_->SetEndHourText(endHour);
    }

    // Hour starts (entry type 98) in the playout log, as their days and hours.
    std::vector<std::pair<int32_t, int>> HourStarts() const { return station_.HourStarts(); }

    // Opens the playout database where the installation keeps it, as another program would.
    DbError OpenPlayoutDatabase(Database& db) const {
        return station_.PlayoutStore()->Open(station_.options.databaseName, db);
    }

    long long LogRows() const {
        Database db;
        TableCursor log;
        long long count = -1;
        if (OpenPlayoutDatabase(db).Ok() && OpenLogTable(db, log).Ok() &&
            !log.RecordCount(count).Ok())
            count = -1;
        return count;
    }

    TempDir dir_;
    KoraInstallation station_;
    ScopedEnv windir_, programDir_, traceDir_;
    FixedClock clock_{2000, 3, 5, 9, 30};
    ClockedScript ui_{clock_};
    std::unique_ptr<Session> session_;
    std::unique_ptr<LogImportModel> window_;
};

// The server installation a station on the database server keeps its playout database in,
// made before the station and dropped after it; nothing for a station on files.
class StationServer {
  protected:
    explicit StationServer(Backend backend) {
        if (backend == Backend::Postgres) server_.emplace();
    }
    std::string ServerConninfo() const { return server_ ? server_->conninfo() : ""; }

  private:
    std::optional<ServerInstallation> server_;
};

// The main window's station with its playout database on the backend the test is run for.
class MainWindowOnBackendTest : private StationServer,
                                public MainWindowTest,
                                public ::testing::WithParamInterface<Backend> {
  protected:
    MainWindowOnBackendTest()
        : StationServer(GetParam()), MainWindowTest(OnBackend(ServerConninfo())) {}

    static InstallationOptions OnBackend(const std::string& server) {
        InstallationOptions options = DefaultOptions();
        options.databaseServer = server;
        return options;
    }
};

}  // namespace vantor::testing

#pragma once
// A whole installation on disk, as a station has it: the Windows directory with VANTOR.INI
// (data location and Audiowall locations), the data location with VNTR_SYS.INI,
// HOLBRANE.INI, a SCHEDULE directory holding a Kora playout database whose settings point at
// the logs directory, the logs directory itself, an Audiowall, and a program directory for
// the report files. Tests of the main window, end-to-end runs of the program and the demo all
// build their installation with it.
//
//   KoraInstallation station(dir.path(), options);
//   station.WriteLog(day, SchedulerLogWriter().Header(...).Item("4001", "Song"));
//   RunProgram({"--headless", "KORA26.MDB", "/AUTO", "/QUIT"}, station.Environment());

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "config/system_locations.h"
#include "dbengine/database_store.h"
#include "demo/audiowall_fixture.h"
#include "demo/scheduler_log_writer.h"

namespace vantor::demo {

// An account of the installation's users database: its login name, password and the list of
// its access rights ("5,6").
struct InstallationAccount {
    std::string loginName;
    std::string password;
    std::string rights;
};

struct InstallationOptions {
    int32_t maxCart = 9999;
    std::vector<FixtureCart> carts;
    std::string databaseName = "KORA26.MDB";  // "" for an installation without one
    // A station on a database server: its connection string, written to VNTR_SYS.INI's
    // [Database] section, and the playout database made there. "" keeps it in a file.
    std::string databaseServer;
    std::string description = "Test Station";
    std::string prefix = "VN";
    std::string dateFormat = "yymmdd";
    // Written to HOLBRANE.INI / VNTR_SYS.INI.
    int autoPurgeDays = 0;
    int underrunningDuration = 3600;  // seconds
    int usersMustLogin = 0;
    std::vector<InstallationAccount> accounts;  // none: a users database without accounts
};

class KoraInstallation {
  public:
    KoraInstallation(const std::string& root, const InstallationOptions& options);

    std::string root;
    std::string windowsDirectory;  // VANTOR_WINDIR: VANTOR.INI, registry.ini
    std::string programDirectory;  // VANTOR_PROGRAM_DIR: error.log, history.log
    std::string traceDirectory;    // VANTOR_TRACE_DIR
    std::string dataLocation;
    std::string logsDirectory;
    std::string audiowallDirectory;
    // The playout database as its store names it: the file's path, or on a server its name;
    // "" when the installation has no database.
    std::string databasePath;
    InstallationOptions options;

    // The scheduler log file of a day, named with the installation's prefix and pattern.
    std::string LogPath(int32_t day) const;
    std::string WriteLog(int32_t day, const SchedulerLogWriter& log) const;

    // Adds an account to the users database, creating the database when it is missing.
    void AddAccount(const InstallationAccount& account) const;

    // Stores one row of the playout database's Settings table.
    void SetDatabaseSetting(const std::string& key, const std::string& value) const;

    // Where the installation's playout databases are (the files of SCHEDULE, or the server).
    std::unique_ptr<DatabaseStore> PlayoutStore() const;
    // Hour starts in the playout database's Log table (see HourStartsIn).
    std::vector<std::pair<int32_t, int>> HourStarts() const;

    // The variables the program needs to find this installation and nothing else.
    std::map<std::string, std::string> Environment() const;

    std::string ErrorLogPath() const;
    std::string HistoryLogPath() const;

  private:
    // The data location and its system settings file, as the program finds them.
    SystemLocations Locations() const;
};

// The date as the scheduler writes it in a compact header: "dd/mm/yy".
std::string SchedulerDate(int32_t day);

// Hour starts (entry type 98) in a playout database's Log table, as their days and hours.
std::vector<std::pair<int32_t, int>> HourStartsIn(const std::string& databasePath);
std::vector<std::pair<int32_t, int>> HourStartsIn(const DatabaseStore& store,
                                                  const std::string& name);

}  // namespace vantor::demo

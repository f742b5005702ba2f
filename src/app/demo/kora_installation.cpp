#include "demo/kora_installation.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "common/clock.h"
#include "common/locale.h"
#include "common/paths.h"
#include "common/profile.h"
#include "config/database_server.h"
#include "config/system_locations.h"
#include "dbengine/database_file.h"
#include "dbengine/engine.h"
#include "dbengine/schema.h"
#include "dbmanage/database_types.h"
#include "demo/silent_user_interface.h"
#include "importer/scheduler_log.h"
#include "playoutdb/log_table.h"
#include "playoutdb/playout_tables.h"
#include "users/account_rules.h"
#include "users/users_database.h"

namespace vantor::demo {

namespace {

void MakeDirectory(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) throw std::runtime_error("cannot create " + path + ": " + ec.message());
}

}  // namespace

std::string SchedulerDate(int32_t day) {
    return FormatDate(day, "dd/mm/yy");
}

KoraInstallation::KoraInstallation(const std::string& rootDirectory,
                                   const InstallationOptions& installationOptions)
    : root(rootDirectory), options(installationOptions) {
    windowsDirectory = JoinPath(root, "windows");
    programDirectory = JoinPath(root, "program");
    traceDirectory = JoinPath(root, "trace");
    dataLocation = JoinPath(root, "data");
    logsDirectory = JoinPath(dataLocation, "LOGS");
    audiowallDirectory = JoinPath(root, "audiowall");
    for (const std::string& directory :
         {windowsDirectory, programDirectory, traceDirectory, dataLocation, logsDirectory,
          JoinPath(dataLocation, "SCHEDULE"), JoinPath(dataLocation, "USERS")})
        MakeDirectory(directory);

    const std::string configFile = JoinPath(windowsDirectory, "VANTOR.INI");
    WriteProfileString(configFile, "FileLocations", "Data", dataLocation);
    WriteAudiowall(audiowallDirectory, options.maxCart, options.carts);
    WriteAudiowallLocations(configFile, audiowallDirectory, options.maxCart);

    WriteProfileString(JoinPath(dataLocation, "VNTR_SYS.INI"), "LogImport", "Music.UsersMustLogin",
                       std::to_string(options.usersMustLogin));
    WriteProfileString(JoinPath(dataLocation, "HOLBRANE.INI"), "General", "AutoPurgeDays",
                       std::to_string(options.autoPurgeDays));
    WriteProfileString(JoinPath(dataLocation, "HOLBRANE.INI"), "General", "UnderrunningDuration",
                       std::to_string(options.underrunningDuration));
    for (const InstallationAccount& account : options.accounts) AddAccount(account);

    if (!options.databaseServer.empty()) {
        if (DbError error = SetDatabaseServer(Locations(), options.databaseServer); !error.Ok())
            throw std::runtime_error("cannot use the database server: " + error.description);
    }

    if (options.databaseName.empty()) return;
    const std::unique_ptr<DatabaseStore> store = PlayoutStore();
    databasePath = store->Address(options.databaseName);
    SilentUserInterface ui;
    std::string description = options.description;
    if (EnsureDatabase(ui, *store, options.databaseName, kKoraV26DatabaseType, true,
                       description) != 0 ||
        !VerifyPlayoutDatabase(ui, *store, options.databaseName).Ok())
        throw std::runtime_error("cannot create the playout database " + databasePath);
    SetDatabaseSetting("MUSIC.LogPath", logsDirectory);
    SetDatabaseSetting("MUSIC.FilenamePrefix", options.prefix);
    SetDatabaseSetting("MUSIC.FilenameFormat", options.dateFormat);
}

SystemLocations KoraInstallation::Locations() const {
    SystemLocations locations;
    locations.DataLocation = dataLocation;
    locations.SystemIniFile = JoinPath(dataLocation, "VNTR_SYS.INI");
    return locations;
}

std::unique_ptr<DatabaseStore> KoraInstallation::PlayoutStore() const {
    return PlayoutDatabaseStore(Locations());
}

std::vector<std::pair<int32_t, int>> KoraInstallation::HourStarts() const {
    return HourStartsIn(*PlayoutStore(), options.databaseName);
}

void KoraInstallation::AddAccount(const InstallationAccount& account) const {
    SilentUserInterface ui;
    SystemClock clock;
    SystemLocations locations;
    locations.DataLocation = dataLocation;
    Database db;
    UsersDatabase users(ui, clock, locations, db);
    const std::optional<std::array<bool, 6>> rights = ParseRightsList(account.rights);
    const std::string why = "cannot add the account " + account.loginName + ": ";
    if (!rights) throw std::runtime_error(why + kRightsListRefusal);
    if (!users.OpenUsersDatabase(UsersDatabasePath(dataLocation)).Ok())
        throw std::runtime_error(why + "the users database cannot be opened");
    if (users.AddUser(account.loginName, account.password, *rights) !=
        UsersDatabase::AccountOutcome::Done)
        throw std::runtime_error(why + (ui.messages.empty() ? "" : ui.messages.back()));
}

void KoraInstallation::SetDatabaseSetting(const std::string& key, const std::string& value) const {
    SilentUserInterface ui;
    Database db;
    TableCursor settings;
    if (!PlayoutStore()->Open(options.databaseName, db).Ok() ||
        !db.OpenTable("Settings", settings, "Main").Ok() ||
        !SetDbSetting(ui, settings, key, DbValue(value), DbValue(), true).Ok())
        throw std::runtime_error("cannot store the setting " + key);
}

std::string KoraInstallation::LogPath(int32_t day) const {
    SchedulerLogNaming naming{logsDirectory, options.prefix, options.dateFormat};
    return LogFileName(day, naming);
}

std::string KoraInstallation::WriteLog(int32_t day, const SchedulerLogWriter& log) const {
    return log.Save(LogPath(day));
}

std::map<std::string, std::string> KoraInstallation::Environment() const {
    return {
        {"VANTOR_WINDIR", windowsDirectory},
        {"VANTOR_PROGRAM_DIR", programDirectory},
        {"VANTOR_TRACE_DIR", traceDirectory},
        {"HOME", root},
        {"USER", "studio"},
    };
}

std::string KoraInstallation::ErrorLogPath() const {
    return JoinPath(programDirectory, "error.log");
}

std::string KoraInstallation::HistoryLogPath() const {
    return JoinPath(programDirectory, "history.log");
}

std::vector<std::pair<int32_t, int>> HourStartsIn(const std::string& databasePath) {
    const FileInStore file = FileStoreOf(databasePath);
    return HourStartsIn(*file.store, file.name);
}

std::vector<std::pair<int32_t, int>> HourStartsIn(const DatabaseStore& store,
                                                  const std::string& name) {
    std::vector<std::pair<int32_t, int>> hours;
    Database db;
    TableCursor log;
    if (!store.Open(name, db).Ok() || !OpenLogTable(db, log).Ok()) return hours;
    for (DbError e = log.MoveFirst(); e.Ok() && !log.Eof(); e = log.MoveNext()) {
        if (log.Field(LogEntry::EntryType).AsInteger() != 98) continue;
        DayTime hour = DayTimeOfQIndex(log.Field(LogEntry::QIndex).AsDouble());
        hours.emplace_back(hour.day, static_cast<int>(hour.seconds / 3600));
    }
    return hours;
}

}  // namespace vantor::demo

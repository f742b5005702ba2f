#include "config/database_server.h"

#include <cstdlib>

#include "common/paths.h"
#include "common/profile.h"
#include "common/text.h"

namespace vantor {

namespace {

constexpr const char* kSection = "Database";

}  // namespace

std::string DatabaseServerOf(const SystemLocations& locations) {
    if (const char* server = std::getenv(kDatabaseServerVariable); server && *server)
        return server;
    if (locations.SystemIniFile.empty()) return "";
    const std::string engine =
        Trim(GetProfileString(locations.SystemIniFile, kSection, "Engine", ""));
    if (!EqualsNoCase(engine, "PostgreSQL")) return "";
    // A password someone wrote into the shared file anyway is not used.
    return ConninfoWithoutPassword(
        Trim(GetProfileString(locations.SystemIniFile, kSection, "Server", "")));
}

std::unique_ptr<DatabaseStore> PlayoutDatabaseStore(const SystemLocations& locations) {
    const std::string server = DatabaseServerOf(locations);
    if (!server.empty()) return MakeServerStore(server);
    return MakeFileStore(JoinPath(locations.DataLocation, "SCHEDULE"));
}

std::unique_ptr<DatabaseStore> UsersDatabaseStore(const SystemLocations& locations) {
    const std::string server = DatabaseServerOf(locations);
    if (!server.empty()) return MakeServerStore(server);
    return MakeFileStore(JoinPath(locations.DataLocation, "USERS"));
}

std::string DatabaseServerShown(const SystemLocations& locations) {
    const std::string server = DatabaseServerOf(locations);
    return server.empty() ? "" : MakeServerStore(server)->Location();
}

DbError SetDatabaseServer(const SystemLocations& locations, const std::string& conninfo) {
    const std::string server = Trim(conninfo);
    if (locations.SystemIniFile.empty())
        return DbError::Make(err::kNotAValidPath, "There is no system settings file to write.");
    if (ConninfoHasPassword(server)) {
        return DbError::Make(err::kInvalidArgument,
                             "The connection string holds a password: give it in ~/.pgpass or "
                             "PGPASSWORD instead, never in the settings file.");
    }
    if (!server.empty()) {
        if (DbError error = MakeServerStore(server)->Prepare(); !error.Ok()) return error;
    }
    const bool written =
        WriteProfileString(locations.SystemIniFile, kSection, "Engine",
                           server.empty() ? "SQLite" : "PostgreSQL") &&
        (server.empty() ? DeleteProfileKey(locations.SystemIniFile, kSection, "Server")
                        : WriteProfileString(locations.SystemIniFile, kSection, "Server", server));
    if (!written) {
        return DbError::Make(err::kPermissionDenied,
                             "The system settings file " + locations.SystemIniFile +
                                 " could not be written.");
    }
    return {};
}

}  // namespace vantor

#pragma once
// Which database server, if any, holds the installation's databases. A station that outgrows
// one workstation points every workstation at one server through the shared system settings
// file (section [Database]: Engine=PostgreSQL, Server=<libpq connection string>); without the
// section, or with Engine=SQLite, the databases are files in the data location. The
// environment variable VANTOR_DB_SERVER (a connection string) overrides the file for one run.
// A password never comes from the settings file: libpq finds it in ~/.pgpass or PGPASSWORD.

#include <memory>
#include <string>

#include "config/system_locations.h"
#include "dbengine/database_store.h"

namespace vantor {

inline constexpr const char* kDatabaseServerVariable = "VANTOR_DB_SERVER";

// The server's connection string, "" when the databases are files.
std::string DatabaseServerOf(const SystemLocations& locations);

// The store of the installation's playout databases: the server's, or the files of the data
// location's SCHEDULE directory.
std::unique_ptr<DatabaseStore> PlayoutDatabaseStore(const SystemLocations& locations);

// The store of the users database: the same server as the playout databases, or the files of
// the data location's USERS directory.
std::unique_ptr<DatabaseStore> UsersDatabaseStore(const SystemLocations& locations);

// What a run's caption or information names as where its databases are: "" for files.
std::string DatabaseServerShown(const SystemLocations& locations);

// Points the installation at a server: checks that it answers (making its catalogue when
// missing), then writes the section. An empty conninfo returns to files. Refuses a connection
// string that carries a password (the settings file is read by every workstation). Success,
// or what went wrong (nothing written then).
[[nodiscard]] DbError SetDatabaseServer(const SystemLocations& locations,
                                        const std::string& conninfo);

}  // namespace vantor

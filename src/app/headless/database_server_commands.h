#pragma once
// "--set-database-server=CONNINFO" points the installation at a database server (an empty
// value returns it to files); "--copy-database-to-server=NAME.MDB" copies one database file
// of the data location onto the server chosen, so that a station can move its databases.

#include <string>

namespace vantor {

class Session;
struct LaunchOptions;

// Each returns the exit status.
int SetUpDatabaseServer(Session& session, const LaunchOptions& options);
int CopyDatabaseToServer(Session& session, const std::string& fileName);

}  // namespace vantor

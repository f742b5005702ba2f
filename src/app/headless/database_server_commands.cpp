#include "headless/database_server_commands.h"

#include <iostream>

#include "common/paths.h"
#include "common/profile.h"
#include "common/text.h"
#include "config/database_server.h"
#include "config/startup.h"
#include "headless/launch_options.h"
#include "importer/exit_status.h"
#include "session/dialogs.h"
#include "session/session.h"
#include "users/current_user.h"

namespace vantor {

int SetUpDatabaseServer(Session& session, const LaunchOptions& options) {
    UserInterface& ui = session.ui;
    SystemLocations& locations = session.locations;
    if (!ReadInstallationSettings(locations, session.audiowall, ui, session.dialogs, session.clock,
                                  options.command))
        return exit_status::kStartupEnded;
    if (locations.DataLocation.empty() && !locations.CommandLine.systemIniFile) {
        ShowError(ui, "there is no data location to keep VNTR_SYS.INI in: set it with "
                      "--set-data-location=DIR first");
        return exit_status::kStopped;
    }
    LocateSystemIniFile(locations);
    const std::string server = Trim(options.databaseServer.value_or(""));
    if (DbError error = SetDatabaseServer(locations, server); !error.Ok()) {
        ShowError(ui, "the database server was not set: " + error.description);
        return exit_status::kStopped;
    }
    std::cout << "stored in " << ProfilePath(locations.SystemIniFile) << ":\n";
    if (server.empty())
        std::cout << "databases: files in " << JoinPath(locations.DataLocation, "SCHEDULE") << "\n";
    else
        std::cout << "database server: " << MakeServerStore(server)->Location() << "\n";
    return exit_status::kDone;
}

int CopyDatabaseToServer(Session& session, const std::string& fileName) {
    UserInterface& ui = session.ui;
    if (!session.login.currentUser.HasRight(kRightManageDatabases)) {
        ShowError(ui, "You do not have the correct access rights to copy a Kora database");
        return exit_status::kStopped;
    }
    const std::string server = DatabaseServerOf(session.locations);
    if (server.empty()) {
        ShowError(ui, "no database server is set: set one with --set-database-server=CONNINFO");
        return exit_status::kStopped;
    }
    const std::string name = Trim(fileName);
    auto files = MakeFileStore(JoinPath(session.locations.DataLocation, "SCHEDULE"));
    auto target = MakeServerStore(server);
    if (!files->Exists(name)) {
        ShowError(ui, "there is no database " + files->Address(name));
        return exit_status::kStopped;
    }
    if (DbError error = target->Prepare(); !error.Ok()) {
        ShowError(ui, error.description);
        return exit_status::kStartupEnded;
    }
    if (target->Exists(name)) {
        ShowError(ui, "the database " + name + " is already on the " + target->Location());
        return exit_status::kStopped;
    }
    if (DbError error = CopyDatabase(*files, name, *target, name); !error.Ok()) {
        ShowError(ui, "copying " + files->Address(name) + " to the " + target->Location() +
                          " failed: " + error.description);
        return exit_status::kWorkFailed;
    }
    std::cout << "copied: " << files->Address(name) << " to the " << target->Location() << "\n";
    return exit_status::kDone;
}

}  // namespace vantor

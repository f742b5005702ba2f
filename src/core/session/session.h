#pragma once
// Everything the program holds for the whole of one run: where the installation keeps its
// files, the connected Audiowall, the importer's own settings, the open users database and
// who is logged in, the trace state, and the clock and user interface everything reports
// through. Created once at start-up and handed by reference to whatever needs it, so that no
// routine keeps state of its own between calls.

#include <memory>
#include <string>

#include "audiowall/audiowall_store.h"
#include "common/clock.h"
#include "common/trace.h"
#include "common/user_interface.h"
#include "config/system_locations.h"
#include "dbengine/database_store.h"
#include "session/session_settings.h"
#include "users/current_user.h"
#include "users/users_database.h"

namespace vantor {

class Dialogs;

class Session {
  public:
    Session(UserInterface& ui, Dialogs& dialogs, const Clock& clock);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    UserInterface& ui;
    Dialogs& dialogs;  // every nested window opens through it
    const Clock& clock;
    SystemLocations locations;
    TraceState trace;
    AudiowallState audiowall;
    ImportSettings importSettings;
    LoginSession login;
    Database usersConnection;  // the users database is opened on it
    UsersDatabase users;       // after locations and trace, which it refers to

    // The year a date typed without one belongs to.
    int ThisYear() const;
    // Where the installation's playout databases are: the files of the data location's
    // SCHEDULE directory, or the server the installation names. Made afresh whenever the
    // locations or the server choice have changed since the last call.
    const DatabaseStore& PlayoutStore() const;
    // The report files of the import run, kept beside the program.
    std::string ErrorLogPath() const;
    std::string HistoryLogPath() const;

  private:
    mutable std::unique_ptr<DatabaseStore> playoutStore_;
    mutable std::string playoutStoreKey_;  // the data location and server it was made for
};

}  // namespace vantor

#include "session/session.h"

#include "common/ole_date.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "config/database_server.h"

namespace vantor {

Session::Session(UserInterface& ui_, Dialogs& dialogs_, const Clock& clock_)
    : ui(ui_),
      dialogs(dialogs_),
      clock(clock_),
      users(ui_, clock_, locations, usersConnection, &trace) {
    trace.clock = &clock;
}

Session::~Session() = default;

int Session::ThisYear() const {
    return YearOf(clock.Now());
}

const DatabaseStore& Session::PlayoutStore() const {
    // A NUL cannot occur in a path or a connection string, so the key is unambiguous.
    std::string key = locations.DataLocation + '\0' + DatabaseServerOf(locations);
    if (!playoutStore_ || key != playoutStoreKey_) {
        playoutStore_ = PlayoutDatabaseStore(locations);
        playoutStoreKey_ = std::move(key);
    }
    return *playoutStore_;
}

std::string Session::ErrorLogPath() const {
    return JoinPath(ProgramDirectory(), "error.log");
}

std::string Session::HistoryLogPath() const {
    return JoinPath(ProgramDirectory(), "history.log");
}

}  // namespace vantor

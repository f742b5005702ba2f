#include "session/session.h"

#include "common/ole_date.h"
#include "common/paths.h"
#include "common/platform_dirs.h"

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

std::string Session::PlayoutDatabasePath(const std::string& fileName) const {
    return JoinPath(JoinPath(locations.DataLocation, "SCHEDULE"), fileName);
}

std::string Session::ErrorLogPath() const {
    return JoinPath(ProgramDirectory(), "error.log");
}

std::string Session::HistoryLogPath() const {
    return JoinPath(ProgramDirectory(), "history.log");
}

}  // namespace vantor

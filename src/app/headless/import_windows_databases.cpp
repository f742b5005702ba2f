#include "headless/import_windows_databases.h"

#include "common/paths.h"
#include "common/user_interface.h"
#include "importer/exit_status.h"
#include "session/session.h"
#include "users/current_user.h"
#include "users/users_database.h"
#include "windowsdb/windows_database_import.h"

namespace vantor {

namespace {

// Which of two statuses a scheduler must hear of: a failed write before a refusal, a refusal
// before a partial copy, a partial copy before success.
int Severity(int status) {
    switch (status) {
        case exit_status::kWorkFailed: return 3;
        case exit_status::kStopped: return 2;
        case exit_status::kDoneWithReport: return 1;
        default: return 0;
    }
}

}  // namespace

int ExitStatusOf(const WindowsImportReport& report) {
    switch (report.outcome) {
        case WindowsImportOutcome::Complete: return exit_status::kDone;
        case WindowsImportOutcome::PartlyCopied: return exit_status::kDoneWithReport;
        case WindowsImportOutcome::NotADatabase:
        case WindowsImportOutcome::Refused: return exit_status::kStopped;
        case WindowsImportOutcome::Failed: return exit_status::kWorkFailed;
    }
    return exit_status::kWorkFailed;
}

int ImportWindowsDatabases(Session& session, const std::vector<std::string>& files, bool replace,
                           std::ostream& out) {
    UserInterface& ui = session.ui;
    if (!session.login.currentUser.HasRight(kRightManageDatabases)) {
        ShowError(ui, "You do not have the correct access rights to import a database");
        return exit_status::kStopped;
    }
    WindowsImportTarget target;
    target.playoutDirectory = JoinPath(session.locations.DataLocation, "SCHEDULE");
    target.usersDatabase = UsersDatabasePath(session.locations.DataLocation);
    target.replace = replace;
    // The users database start-up opened may be the one replaced: it is let go first.
    session.users.CloseUsersDatabase();

    int status = exit_status::kDone;
    for (const std::string& file : files) {
        WindowsImportReport report = ImportWindowsDatabase(ui, file, target);
        if (!report.reason.empty()) ShowError(ui, file + ": " + report.reason);
        out << report.Text() << "\n";
        out.flush();
        const int fileStatus = ExitStatusOf(report);
        if (Severity(fileStatus) > Severity(status)) status = fileStatus;
    }
    return status;
}

}  // namespace vantor

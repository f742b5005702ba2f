#include "headless/create_database.h"

#include <iostream>

#include "common/files.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/text.h"
#include "importer/exit_status.h"
#include "session/session.h"
#include "dbengine/database_file.h"
#include "dbengine/engine.h"
#include "dbengine/schema.h"
#include "playoutdb/playout_tables.h"
#include "users/current_user.h"

namespace vantor {

namespace {

constexpr int32_t kKoraDatabaseType = 14;

}  // namespace

int CreateKoraDatabase(Session& session, const std::string& fileName,
                       const std::optional<std::string>& description) {
    UserInterface& ui = session.ui;
    if (!session.login.currentUser.HasRight(kRightManageDatabases)) {
        ShowError(ui, "You do not have the correct access rights to create a Kora database");
        return exit_status::kStopped;
    }
    // The chooser's rules for a new name: a plain reference, no directory and no extension of
    // its own ("/" counts as a directory here as "\" does on the stations).
    std::string reference = Trim(fileName);
    if (EndsWithNoCase(reference, ".MDB")) reference.resize(reference.size() - 4);
    if (Trim(reference).empty() || reference.find_first_of("\\/.") != std::string::npos) {
        ShowWarning(ui, "You must specify a valid reference name");
        return exit_status::kStopped;
    }
    reference = Trim(reference);
    if (ToLower(reference) == "backup") {
        ShowWarning(ui, "The name 'Backup' is reserved and cannot be used!");
        return exit_status::kStopped;
    }
    const std::string directory = JoinPath(session.locations.DataLocation, "SCHEDULE");
    const std::string path = JoinPath(ResolvePath(directory), reference + ".MDB");
    if (FileExists(path)) {
        ShowInformation(ui, "A database with this name already exists");
        return exit_status::kStopped;
    }
    if (!DirectoryExists(directory) && !CreateDirectoryPath(ui, directory, false))
        return exit_status::kWorkFailed;
    std::string title = description ? Trim(*description) : reference;
    // The file layer would ask for a description in place of a blank one (and take the
    // reference name unattended); a description of blanks is stored as the chooser stores a
    // typed one, trimmed, so it is written once the file exists.
    const bool blank = title.empty();
    if (blank) title = reference;
    if (EnsureDatabaseFile(ui, path, kKoraDatabaseType, true, title) != 0)
        return exit_status::kWorkFailed;
    if (blank) {
        Database db;
        DbError error = db.Open(path);
        if (!error) error = db.Execute("UPDATE [Description] SET [Description] = ?", {DbValue("")});
        if (error) {
            ProblemReport(ui, "storing the description", error.number, false, error.description);
            return exit_status::kWorkFailed;
        }
        title.clear();
    }
    if (VerifyPlayoutDatabase(ui, path) != 0) return exit_status::kWorkFailed;
    std::cout << "created: " << path << " (" << title << ")\n";
    return exit_status::kDone;
}

}  // namespace vantor

#include "headless/create_database.h"

#include <iostream>

#include "common/files.h"
#include "common/paths.h"
#include "common/text.h"
#include "dbmanage/database_types.h"
#include "dbmanage/new_database.h"
#include "importer/exit_status.h"
#include "playoutdb/playout_tables.h"
#include "session/session.h"
#include "users/current_user.h"

namespace vantor {

int CreateKoraDatabase(Session& session, const std::string& fileName,
                       const std::optional<std::string>& description) {
    UserInterface& ui = session.ui;
    if (!session.login.currentUser.HasRight(kRightManageDatabases)) {
        ShowError(ui, "You do not have the correct access rights to create a Kora database");
        return exit_status::kStopped;
    }
    // The chooser's rules for a new name, once the ".MDB" the option asks for is taken off.
    std::string reference = Trim(fileName);
    if (EndsWithNoCase(reference, ".MDB")) reference.resize(reference.size() - 4);
    // On the installation's store: the data location's SCHEDULE directory, or its server.
    const DatabaseStore& store = session.PlayoutStore();
    std::optional<NewDatabaseName> name = CheckNewDatabaseName(ui, store, reference);
    if (!name) return exit_status::kStopped;
    if (!store.OnServer() && !DirectoryExists(store.Location()) &&
        !CreateDirectoryPath(ui, store.Location(), false))
        return exit_status::kWorkFailed;
    // Without a description the database is described by its reference name, as the chooser
    // offers it.
    std::string title;
    if (CreateNewDatabase(ui, store, *name, kKoraV26DatabaseType,
                          description.value_or(name->reference), &title) != 0)
        return exit_status::kWorkFailed;
    if (!VerifyPlayoutDatabase(ui, store, name->reference + ".MDB").Ok())
        return exit_status::kWorkFailed;
    std::cout << "created: " << name->path << " (" << title << ")\n";
    return exit_status::kDone;
}

}  // namespace vantor

#include "dbmanage/new_database.h"

#include "common/files.h"
#include "common/paths.h"
#include "common/text.h"
#include "dbengine/database_file.h"

namespace vantor {

std::optional<NewDatabaseName> CheckNewDatabaseName(UserInterface& ui, const std::string& directory,
                                                    const std::string& typed) {
    const std::string reference = Trim(typed);
    if (reference.empty() || reference.find_first_of("\\/.") != std::string::npos) {
        ShowWarning(ui, "You must specify a valid reference name");
        return std::nullopt;
    }
    if (ToLower(reference) == "backup") {
        ShowWarning(ui, "The name 'Backup' is reserved and cannot be used!");
        return std::nullopt;
    }
    NewDatabaseName name{reference, JoinPath(ResolvePath(directory), reference + ".MDB")};
    if (FileExists(name.path)) {
        ShowInformation(ui, "A database with this name already exists");
        return std::nullopt;
    }
    return name;
}

int CreateNewDatabase(UserInterface& ui, const NewDatabaseName& name, int32_t type,
                      const std::optional<std::string>& description, std::string* stored) {
    // An empty title makes the file layer ask for one; a description left blank on purpose is
    // therefore written once the file exists.
    std::string title = description ? Trim(*description) : std::string();
    const bool blank = description && title.empty();
    if (blank) title = name.reference;
    if (int result = EnsureDatabaseFile(ui, name.path, type, true, title); result != 0)
        return result;
    if (blank) {
        if (int result = StoreDatabaseDescription(ui, name.path, ""); result != 0) return result;
        title.clear();
    }
    if (stored) *stored = title;
    return 0;
}

}  // namespace vantor

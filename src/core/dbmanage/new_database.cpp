#include "dbmanage/new_database.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "common/files.h"
#include "common/paths.h"
#include "common/text.h"
#include "dbengine/database_file.h"

namespace vantor {

namespace {

constexpr const char* kInvalidName = "You must specify a valid reference name";

// A character no file name may hold on the stations' file systems: the control characters and
// the ones Windows reserves ("/" leads elsewhere here as "\" does there).
bool ForbiddenInFileName(unsigned char c) {
    return c < 0x20 || c == 0x7f ||
           std::string_view("\\/:*?\"<>|").find(char(c)) != std::string_view::npos;
}

}  // namespace

bool CheckDatabaseFileName(UserInterface& ui, const std::string& name) {
    const bool forbidden = std::any_of(name.begin(), name.end(), [](char c) {
        return ForbiddenInFileName(static_cast<unsigned char>(c));
    });
    if (name.empty() || name.front() == '-' || forbidden) {
        ShowWarning(ui, kInvalidName);
        return false;
    }
    if (CharacterCount(name) > kMaxDatabaseNameCharacters) {
        ShowWarning(ui, "That name is too long: a database's name can be up to " +
                            std::to_string(kMaxDatabaseNameCharacters) + " characters");
        return false;
    }
    return true;
}

std::optional<NewDatabaseName> CheckNewDatabaseName(UserInterface& ui, const std::string& directory,
                                                    const std::string& typed) {
    return CheckNewDatabaseName(ui, *MakeFileStore(directory), typed);
}

std::optional<NewDatabaseName> CheckNewDatabaseName(UserInterface& ui, const DatabaseStore& store,
                                                    const std::string& typed) {
    const std::string reference = Trim(typed);
    if (reference.find('.') != std::string::npos) {
        ShowWarning(ui, kInvalidName);
        return std::nullopt;
    }
    if (!CheckDatabaseFileName(ui, reference)) return std::nullopt;
    if (ToLower(reference) == "backup") {
        ShowWarning(ui, "The name 'Backup' is reserved and cannot be used!");
        return std::nullopt;
    }
    NewDatabaseName name{reference, store.Address(reference + ".MDB")};
    // Anything of that name in a directory, an empty file too, keeps the name taken.
    if (store.OnServer() ? store.Exists(name.path) : FileExists(name.path)) {
        ShowInformation(ui, "A database with this name already exists");
        return std::nullopt;
    }
    return name;
}

namespace {

// The making of a new database, whichever store it goes into: ensure makes it with the title
// given (asking for one when it is empty), describe writes a title afterwards.
int MakeNewDatabase(const NewDatabaseName& name, const std::optional<std::string>& description,
                    std::string* stored,
                    const std::function<int(std::string& title)>& ensure,
                    const std::function<int(const std::string& text)>& describe) {
    // An empty title makes the file layer ask for one; a description left blank on purpose is
    // therefore written once the database exists.
    std::string title = description ? Trim(*description) : std::string();
    const bool blank = description && title.empty();
    if (blank) title = name.reference;
    if (int result = ensure(title); result != 0) return result;
    if (blank) {
        if (int result = describe(""); result != 0) return result;
        title.clear();
    }
    if (stored) *stored = title;
    return 0;
}

}  // namespace

int CreateNewDatabase(UserInterface& ui, const NewDatabaseName& name, int32_t type,
                      const std::optional<std::string>& description, std::string* stored) {
    return MakeNewDatabase(
        name, description, stored,
        [&](std::string& title) { return EnsureDatabaseFile(ui, name.path, type, true, title); },
        [&](const std::string& text) { return StoreDatabaseDescription(ui, name.path, text); });
}

int CreateNewDatabase(UserInterface& ui, const DatabaseStore& store, const NewDatabaseName& name,
                      int32_t type, const std::optional<std::string>& description,
                      std::string* stored) {
    const std::string file = name.reference + ".MDB";
    return MakeNewDatabase(
        name, description, stored,
        [&](std::string& title) { return EnsureDatabase(ui, store, file, type, true, title); },
        [&](const std::string& text) { return StoreDatabaseDescription(ui, store, file, text); });
}

}  // namespace vantor

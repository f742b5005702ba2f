#pragma once
// The database chooser as the program's dialogs open it: the window shown modally over a
// parent for the databases of one kind in one directory.

#include <cstdint>
#include <memory>
#include <string>

class QWidget;

namespace vantor {
class DatabaseStore;
class UserInterface;
}

namespace vantor::gui {

struct ChosenDatabase {
    std::string fileName;     // "KORA26.MDB"; "" when the user cancelled
    std::string description;  // the chosen database's description
};

// Shows the chooser until the user chooses or cancels. canEdit opens the Options menu (the
// right to manage databases). A store, when given, holds the databases instead of the files
// of searchDirectory (a station's server).
ChosenDatabase RunDatabaseChooser(QWidget* parent, UserInterface& ui,
                                  const std::string& searchDirectory, int32_t databaseType,
                                  bool canEdit,
                                  std::shared_ptr<const DatabaseStore> store = nullptr);

// Dialogs::ChooseDatabase in the windowed program: the type as the caller's tag ("14"), the
// permission from the session (LoginSession::chooserCanEdit). The chosen file name, "" when
// the user cancelled.
std::string ChooseDatabaseInWindow(QWidget* parent, UserInterface& ui,
                                   const std::string& searchDirectory, const std::string& typeTag,
                                   bool canEdit,
                                   std::shared_ptr<const DatabaseStore> store = nullptr);

}  // namespace vantor::gui

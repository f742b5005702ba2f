#include "qt_dialogs_chooser.h"

#include "database_chooser.h"
#include "dbmanage/database_chooser_model.h"

namespace vantor::gui {

ChosenDatabase RunDatabaseChooser(QWidget* parent, UserInterface& ui,
                                  const std::string& searchDirectory, int32_t databaseType,
                                  bool canEdit) {
    DatabaseChooserModel model(ui);
    model.SetSearchDirectory(searchDirectory);
    model.SetDatabaseType(databaseType);
    model.SetCanEdit(canEdit);
    DatabaseChooser window(model, parent);
    window.exec();
    return {model.ChosenFileName(), model.ChosenDatabaseDescription()};
}

std::string ChooseDatabaseInWindow(QWidget* parent, UserInterface& ui,
                                   const std::string& searchDirectory, const std::string& typeTag,
                                   bool canEdit) {
    return RunDatabaseChooser(parent, ui, searchDirectory, DatabaseTypeFromTag(typeTag), canEdit)
        .fileName;
}

}  // namespace vantor::gui

#include "qt_dialogs_chooser.h"

#include "database_chooser.h"
#include "dbmanage/database_chooser_model.h"

namespace vantor::gui {

ChosenDatabase RunDatabaseChooser(QWidget* parent, UserInterface& ui,
                                  const std::string& searchDirectory, int32_t databaseType,
                                  bool canEdit, std::shared_ptr<const DatabaseStore> store) {
    DatabaseChooserModel model(ui);
    model.SetSearchDirectory(searchDirectory);
    if (store) model.SetStore(std::move(store));
    model.SetDatabaseType(databaseType);
    model.SetCanEdit(canEdit);
    DatabaseChooser window(model, parent);
    window.exec();
    return {model.ChosenFileName(), model.ChosenDatabaseDescription()};
}

std::string ChooseDatabaseInWindow(QWidget* parent, UserInterface& ui,
                                   const std::string& searchDirectory, const std::string& typeTag,
                                   bool canEdit, std::shared_ptr<const DatabaseStore> store) {
    return RunDatabaseChooser(parent, ui, searchDirectory, DatabaseTypeFromTag(typeTag), canEdit,
                              std::move(store))
        .fileName;
}

}  // namespace vantor::gui

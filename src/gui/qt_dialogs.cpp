#include "qt_dialogs.h"

#include "common/files.h"
#include "common/user_interface.h"
#include "date_hour_picker.h"
#include "dbmanage/database_types.h"
#include "dbmanage/playout_settings_editor_model.h"
#include "playout_settings_editor.h"
#include "qt_dialogs_chooser.h"
#include "qt_dialogs_users.h"
#include "session/session.h"
#include "settings_windows.h"

namespace vantor::gui {

QtDialogs::QtDialogs(UserInterface& ui) : ui_(ui) {}

QtDialogs::~QtDialogs() = default;

void QtDialogs::Attach(Session& session) {
    session_ = &session;
    settings_ = std::make_unique<SettingsWindows>(session, owner_);
}

void QtDialogs::SetOwner(QWidget* owner) {
    owner_ = owner;
    if (settings_) settings_->SetOwner(owner);
}

bool QtDialogs::RunConfigSet(ConfigSetModel& model) {
    return settings_ && settings_->RunConfigSet(model);
}

bool QtDialogs::RunFileLocations(FileLocationsModel& model) {
    return settings_ && settings_->RunFileLocations(model);
}

bool QtDialogs::RunLogin(LoginModel& model) {
    return RunLoginWindow(model, owner_);
}

bool QtDialogs::RunChangePassword(ChangePasswordModel& model) {
    return RunChangePasswordWindow(model, owner_);
}

std::string QtDialogs::ChooseDatabase(const std::string& searchDirectory,
                                      const std::string& typeTag) {
    // Before anybody logged in the chooser keeps its own permission to edit.
    const bool canEdit = session_ ? session_->login.chooserCanEdit : true;
    // A station on a server picks its playout databases there. The chooser is gone before
    // this returns, so it may borrow the session's store.
    std::shared_ptr<const DatabaseStore> store;
    if (session_ && DatabaseTypeFromTag(typeTag) == kKoraV26DatabaseType &&
        session_->PlayoutStore().OnServer()) {
        store = std::shared_ptr<const DatabaseStore>(std::shared_ptr<void>(),
                                                     &session_->PlayoutStore());
    }
    return ChooseDatabaseInWindow(owner_, ui_, searchDirectory, typeTag, canEdit,
                                  std::move(store));
}

std::string QtDialogs::BrowseCarts(const std::string& tag) {
    return settings_ ? settings_->BrowseCarts(tag) : std::string();
}

void QtDialogs::ShowImportSettings() {
    if (settings_) settings_->ShowImportSettings();
}

void QtDialogs::RunDateHourPicker(DateHourPickerModel& model) {
    DateHourPicker window(model, owner_);
    window.exec();
}

void QtDialogs::EditPlayoutSettings(const std::string& databasePath) {
    if (!session_) return;
    PlayoutSettingsEditorModel model(*session_);
    // The main window names the database as its store does (a path for a file, the name on a
    // server); the store opens it by the name at the end of that.
    // Whether anything was saved, the editor has recorded and said itself.
    static_cast<void>(RunPlayoutSettingsEditor(model, session_->PlayoutStore(),
                                               FileNameOf(databasePath), owner_));
}

}  // namespace vantor::gui

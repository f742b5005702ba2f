#pragma once
// How the desktop program opens one window from another: the Qt side of Dialogs. Every nested
// window of the program is opened here, over the window that owns the dialogs at the time (none
// during start-up, the main window afterwards).

#include <memory>
#include <string>

#include "session/dialogs.h"

class QWidget;

namespace vantor {
class Session;
class UserInterface;
}  // namespace vantor

namespace vantor::gui {

class SettingsWindows;

class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(UserInterface& ui);
    ~QtDialogs() override;

    // The session the windows work on; it is built with these dialogs, so it is handed in
    // right after. Until then only the windows that need no session can open.
    void Attach(Session& session);
    // The window the dialogs are shown over.
    void SetOwner(QWidget* owner);

    bool RunConfigSet(ConfigSetModel& model) override;
    bool RunFileLocations(FileLocationsModel& model) override;
    bool RunLogin(LoginModel& model) override;
    bool RunChangePassword(ChangePasswordModel& model) override;
    std::string ChooseDatabase(const std::string& searchDirectory,
                               const std::string& typeTag) override;
    std::string BrowseCarts(const std::string& tag) override;
    void RunDateHourPicker(DateHourPickerModel& model) override;
    void ShowImportSettings() override;
    void EditPlayoutSettings(const std::string& databasePath) override;

  private:
    UserInterface& ui_;
    Session* session_ = nullptr;
    QWidget* owner_ = nullptr;
    std::unique_ptr<SettingsWindows> settings_;
};

}  // namespace vantor::gui

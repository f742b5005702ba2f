#pragma once
// How the desktop program opens one window from another: the Qt side of Dialogs. It opens the
// windows this version has; a window that is not part of it yet is reported as such and
// counts as cancelled, so that the caller goes on as it would after a cancel.

#include "session/dialogs.h"

namespace vantor {
class UserInterface;
}

namespace vantor::gui {

class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(UserInterface& ui) : ui_(ui) {}

    bool RunConfigSet(ConfigSetModel& model) override;
    bool RunFileLocations(FileLocationsModel& model) override;
    bool RunLogin(LoginModel& model) override;
    bool RunChangePassword(ChangePasswordModel& model) override;
    std::string ChooseDatabase(const std::string& searchDirectory,
                               const std::string& typeTag) override;
    std::string BrowseCarts(const std::string& tag) override;

  private:
    void NotInThisVersion(const std::string& window, const std::string& instead = "");
    UserInterface& ui_;
};

}  // namespace vantor::gui

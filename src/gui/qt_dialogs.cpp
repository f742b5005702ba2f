#include "qt_dialogs.h"

#include "common/user_interface.h"

namespace vantor::gui {

void QtDialogs::NotInThisVersion(const std::string& window, const std::string& instead) {
    std::string text = "The " + window + " window is not part of this version yet.";
    if (!instead.empty()) text += "\n\n" + instead;
    ShowWarning(ui_, text);
}

bool QtDialogs::RunConfigSet(ConfigSetModel&) {
    NotInThisVersion("configuration set");
    return false;
}

bool QtDialogs::RunFileLocations(FileLocationsModel&) {
    NotInThisVersion("Vantor File Locations",
                     "Store the locations with vantor-logimport --headless "
                     "--set-data-location=DIRECTORY --set-cart-directory=DIRECTORY.");
    return false;
}

bool QtDialogs::RunLogin(LoginModel&) {
    NotInThisVersion("User Login", "Run it with --headless and /USER=NAME meanwhile.");
    return false;
}

bool QtDialogs::RunChangePassword(ChangePasswordModel&) {
    NotInThisVersion("change password");
    return false;
}

std::string QtDialogs::ChooseDatabase(const std::string&, const std::string&) {
    NotInThisVersion("database chooser",
                     "Name the Kora database on the command line (for example KORA26.MDB).");
    return "";
}

std::string QtDialogs::BrowseCarts(const std::string&) {
    NotInThisVersion("cart browser");
    return "";
}

}  // namespace vantor::gui

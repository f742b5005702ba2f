#include "qt_dialogs_users.h"

#include "change_password_window.h"
#include "login_window.h"

namespace vantor::gui {

bool RunLoginWindow(LoginModel& model, QWidget* parent) {
    if (!model.IsVisible()) return false;
    LoginWindow window(model, parent);
    return window.exec() == QDialog::Accepted;
}

bool RunChangePasswordWindow(ChangePasswordModel& model, QWidget* parent) {
    if (model.IsClosed()) return false;
    ChangePasswordWindow window(model, parent);
    return window.exec() == QDialog::Accepted;
}

}  // namespace vantor::gui

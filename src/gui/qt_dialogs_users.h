#pragma once
// The users subsystem's windows as the program's dialogs open them: each shown modally over a
// parent, bound to a model the caller prepared and loaded.

class QWidget;

namespace vantor {
class ChangePasswordModel;
class LoginModel;
}  // namespace vantor

namespace vantor::gui {

// The login window; false when it was cancelled.
bool RunLoginWindow(LoginModel& model, QWidget* parent);

// The change-password window; false when it closed without a new password.
bool RunChangePasswordWindow(ChangePasswordModel& model, QWidget* parent);

}  // namespace vantor::gui

#pragma once
// The windows of the users subsystem that other code opens: how the program shows them is
// decided above the subsystems, by whoever implements Dialogs (session/dialogs.h).

namespace vantor {

class ChangePasswordModel;
class LoginModel;
class UserInterface;
class UsersDatabase;
struct CurrentUser;

class UsersDialogs {
  public:
    virtual ~UsersDialogs() = default;

    // Shows the prepared, loaded model modally. False when the window could not be shown (no
    // person at a display) or was cancelled; the model holds the outcome.
    virtual bool RunLogin(LoginModel& model) = 0;
    virtual bool RunChangePassword(ChangePasswordModel& model) = 0;

    // The change-password window for the user. True once the new password is stored.
    bool ChangePassword(UsersDatabase& users, const CurrentUser& user, UserInterface& ui);
};

}  // namespace vantor

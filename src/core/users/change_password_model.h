#pragma once
// The model of the change-password window ("Change Password", frmChangePassword): the old
// password as typed at login, the new one twice.

#include <string>

#include "users/account_rules.h"
#include "users/padlock.h"
#include "common/window_model.h"

namespace vantor {

class UserInterface;
class UsersDatabase;
struct CurrentUser;

class ChangePasswordModel : public WindowModel {
  public:
    static constexpr const char* kCaption = "Change Password";
    static constexpr int kMaxLength = kMaxPasswordLength;

    enum class Box { txtOldPassword, txtNewPassword, txtReNewPassword, OKB };

    ChangePasswordModel(UsersDatabase& users, const CurrentUser& user, UserInterface& ui);

    // Loading: accounts that are not rows of the users table close the window at once.
    void Load();
    bool IsClosed() const { return closed_; }
    // True once ChangeUserPassword has stored the new password.
    bool PasswordChanged() const { return changed_; }

    const std::string& Text(Box box) const;
    void SetText(Box box, const std::string& text);
    // Every key typed into the boxes arrives as a capital; as in the login boxes, only digits,
    // letters, space and backspace pass (a swallowed key is 0).
    static int FilterKey(int keyCode);
    // A key typed into a box: filtered, then appended within the length limit (backspace
    // removes the last character; Enter presses OK, Esc cancels).
    void TypeKey(Box box, int keyCode);
    Box Focus() const { return focus_; }

    void OK();
    void Cancel() { closed_ = true; }

    const Padlock& Lock() const { return padlock_; }
    // The padlock's animation moves on its own.
    void TimerTick() {
        padlock_.Tick();
        NotifyChanged();
    }

  private:
    UsersDatabase& users_;
    const CurrentUser& user_;
    UserInterface& ui_;
    std::string old_, new_, confirm_;
    Box focus_ = Box::txtOldPassword;
    Padlock padlock_;
    bool closed_ = false;
    bool changed_ = false;
};

}  // namespace vantor

#pragma once
// The model of the login window ("User Login", frmLogin) and Logon, which decides at start-up
// who the current user is: a user named on the command line, the no-user account of a users
// database without accounts, or whoever logs in through the window.

#include <string>

#include "users/padlock.h"
#include "common/window_model.h"

namespace vantor {

class UserInterface;
class UsersDatabase;
class UsersDialogs;
struct LoginSession;
struct SystemLocations;

class LoginModel : public WindowModel {
  public:
    static constexpr const char* kCaption = "User Login";

    enum class Box { txtLogin, txtPassword, LoginButton };

    LoginModel(UsersDatabase& users, LoginSession& session, const SystemLocations& locations,
               UserInterface& ui, UsersDialogs& dialogs);

    // Loading: a users database without accounts logs the no-user account in and hides the
    // window at once.
    void Load();
    bool IsVisible() const { return visible_; }

    const std::string& LoginText() const { return login_; }
    const std::string& PasswordText() const { return password_; }
    int LoginMaxLength() const { return loginMax_; }
    int PasswordMaxLength() const { return passwordMax_; }
    // The boxes' change events: the typed texts (cut to the boxes' limits).
    void SetLoginText(const std::string& text);
    void SetPasswordText(const std::string& text);
    // The key filter of both boxes: capitals, and only digits, letters, space and backspace;
    // a swallowed key is 0.
    static int FilterKey(int keyCode);
    // A key typed into the focused control: filtered, then appended (backspace removes the last
    // character; Enter presses OK when it is enabled, Esc cancels).
    void TypeKey(int keyCode);
    void SetFocus(Box box) { focus_ = box; }
    Box Focus() const { return focus_; }
    bool OkEnabled() const { return okEnabled_; }

    // cmdOptions opens and closes the options area.
    void ToggleOptions();
    // The window is taller while the options area is open; how much is the window's choice.
    bool OptionsOpen() const { return optionsOpen_; }
    std::string OptionsCaption() const { return OptionsOpen() ? "&Options <<" : "&Options >>"; }
    bool ChangePasswordBoxVisible() const { return OptionsOpen(); }
    bool ChangePasswordTicked() const { return changePassword_; }
    // The check box can only be ticked while it shows.
    void SetChangePasswordTicked(bool ticked);

    void OK();
    void Cancel();
    // Activating the window restores the default pointer.
    void Activate();

    const Padlock& Lock() const { return padlock_; }
    // The padlock's animation moves on its own.
    void TimerTick() {
        padlock_.Tick();
        NotifyChanged();
    }

  private:
    void Reopen();

    UsersDatabase& users_;
    LoginSession& session_;
    const SystemLocations& locations_;
    UserInterface& ui_;
    UsersDialogs& dialogs_;
    std::string login_, password_;
    int loginMax_ = 20;
    int passwordMax_ = 20;
    Box focus_ = Box::txtLogin;
    bool okEnabled_ = false;
    bool visible_ = false;
    bool changePassword_ = false;
    bool optionsOpen_ = false;
    Padlock padlock_;
};

// Decides the current user once at start-up: LoggedIn when session.currentUser is valid,
// NobodyLoggedIn when the login was cancelled.
enum class [[nodiscard]] LogonOutcome { LoggedIn, NobodyLoggedIn };
LogonOutcome Logon(LoginSession& session, UsersDatabase& users, const SystemLocations& locations,
           UserInterface& ui, UsersDialogs& dialogs);

// True when a password set on lastSetDate has expired by today: never set (0), or on or after
// the day it was set plus expiryDays. An expiryDays of 0 or less never expires anything.
bool PasswordExpired(double lastSetDate, int expiryDays, int today);

}  // namespace vantor

#include "users/login_model.h"

#include <cmath>

#include "common/clock.h"
#include "common/character_class.h"
#include "common/pause.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "config/product_info.h"
#include "config/system_locations.h"
#include "users/current_user.h"
#include "users/users_database.h"
#include "users/users_dialogs.h"

namespace vantor {

bool PasswordExpired(double lastSetDate, int expiryDays, int today) {
    if (expiryDays <= 0) return false;
    if (lastSetDate == 0) return true;
    return today >= std::floor(lastSetDate) + expiryDays;
}

LoginModel::LoginModel(UsersDatabase& users, LoginSession& session,
                       const SystemLocations& locations, UserInterface& ui, UsersDialogs& dialogs)
    : users_(users), session_(session), locations_(locations), ui_(ui), dialogs_(dialogs) {}

void LoginModel::Load() {
    optionsOpen_ = false;
    changePassword_ = false;
    padlock_.Start();
    visible_ = true;

    // An unreadable count asks for a login: only a users database known to be empty lets
    // everybody in.
    long long accounts = 0;
    if (users_.CountUsers(accounts, "checking the User Database for Login security").Ok() &&
        accounts == 0) {
        session_.currentUser = MakeUnlistedUser("NOUSER", "", locations_.DataLocation);
        session_.loggedIn = true;
        session_.chooserCanEdit = true;
        visible_ = false;
        return;
    }
    login_.clear();
    password_.clear();
    loginMax_ = users_.LoginNameLength();
    passwordMax_ = users_.PasswordLength();
    okEnabled_ = false;
    focus_ = Box::txtLogin;
}

void LoginModel::SetLoginText(const std::string& text) {
    login_ = FirstCharacters(text, static_cast<size_t>(loginMax_));
    if (CharacterCount(login_) >= static_cast<size_t>(loginMax_)) focus_ = Box::txtPassword;
    okEnabled_ = !Trim(login_).empty();
}

void LoginModel::SetPasswordText(const std::string& text) {
    password_ = FirstCharacters(text, static_cast<size_t>(passwordMax_));
    if (CharacterCount(password_) >= static_cast<size_t>(passwordMax_) && okEnabled_)
        focus_ = Box::LoginButton;
}

int LoginModel::FilterKey(int keyCode) {
    if (keyCode > 32 && keyCode >= 'a' && keyCode <= 'z') keyCode = keyCode - 'a' + 'A';
    if (keyCode == kKeyBackspace) return keyCode;
    if (keyCode <= 0 || keyCode > 255) return 0;
    return CharacterClassCheck(std::string(1, static_cast<char>(keyCode)), kClassDigitsLettersSpace)
               ? keyCode
               : 0;
}

void LoginModel::TypeKey(int keyCode) {
    if (keyCode == kKeyEnter) {
        if (okEnabled_) OK();
        return;
    }
    if (keyCode == kKeyEscape) return Cancel();
    if (focus_ == Box::LoginButton) return;
    int key = FilterKey(keyCode);
    if (key == 0) return;
    std::string text = focus_ == Box::txtLogin ? login_ : password_;
    if (key == kKeyBackspace) {
        if (!text.empty()) text.pop_back();
    } else {
        text += static_cast<char>(key);
    }
    if (focus_ == Box::txtLogin)
        SetLoginText(text);
    else
        SetPasswordText(text);
}

void LoginModel::ToggleOptions() {
    optionsOpen_ = !optionsOpen_;
}

void LoginModel::SetChangePasswordTicked(bool ticked) {
    if (ChangePasswordBoxVisible()) changePassword_ = ticked;
}

void LoginModel::Activate() {
    ui_.SetCursor(MouseCursor::Default);
}

void LoginModel::Cancel() {
    session_.loggedIn = false;
    visible_ = false;
}

// After a refused login the window waits for the next try.
void LoginModel::Reopen() {
    login_.clear();
    password_.clear();
    focus_ = Box::txtLogin;
    okEnabled_ = false;
}

void LoginModel::OK() {
    const std::string typedName = ToUpper(Trim(login_));
    std::string name = typedName;
    std::string password = ToUpper(Trim(password_));
    okEnabled_ = false;
    HourglassGuard hourglass(ui_);

    CurrentUser fresh;
    int result = users_.CheckLogin(name, password, fresh, true);
    if (result != login::kAccepted) {
        HourglassGuard back(ui_, hourglass.Previous());
        users_.AddEventToUserHistory(typedName, history::kLoginAttempt, history::kFailed,
                                     kProductName);
        ShowInformation(ui_, "You have not entered a valid Username and Password");
        Reopen();
        okEnabled_ = true;
        return;
    }

    session_.currentUser = fresh;
    session_.loggedIn = true;
    users_.AddEventToUserHistory(typedName, history::kLoginAttempt, history::kSucceeded,
                                 kProductName);

    bool changeWindowOpened = false;
    if (!fresh.BuiltIn) {
        users_.RecordLastLogin(fresh.LoginName);
        if (PasswordExpired(fresh.LastPasswordSetDate, users_.Settings().PasswordExpiryDays,
                            users_.Today())) {
            HourglassGuard back(ui_, hourglass.Previous());
            ShowInformation(ui_,
                            "Your password has expired\nYou must change it before you can "
                            "continue.");
            const bool changed = dialogs_.ChangePassword(users_, session_.currentUser, ui_);
            changeWindowOpened = true;
            if (!changed) {
                // The expired password still stands: the login is not complete, and the
                // window stays open for another try.
                session_.loggedIn = false;
                session_.currentUser = CurrentUser{};
                password_.clear();
                focus_ = Box::txtPassword;
                okEnabled_ = !Trim(login_).empty();
                return;
            }
        }
    }
    if (!changeWindowOpened && changePassword_) {
        (void)dialogs_.ChangePassword(users_, session_.currentUser, ui_);
        changeWindowOpened = true;
    }

    padlock_.Unlock();
    // Let the open padlock be seen before the window goes.
    if (!changeWindowOpened) PauseWithEvents(ui_, users_.GetClock(), 0.5);
    visible_ = false;
    okEnabled_ = true;
}

LogonOutcome Logon(LoginSession& session, UsersDatabase& users, const SystemLocations& locations,
                   UserInterface& ui, UsersDialogs& dialogs) {
    session.currentUser.LoginName.clear();
    session.currentUser.Password.clear();
    session.currentUser.FullName.clear();
    session.currentUser.GroupNumber = -1;
    session.loggedIn = false;

    if (!session.commandLineLoginTaken) {
        if (const auto& named = locations.CommandLine.user) {
            session.commandLineLoginTaken = true;
            std::string name = Trim(*named);
            std::string noPassword;
            CurrentUser user;
            if (users.CheckLogin(name, noPassword, user, false) == login::kAccepted) {
                session.currentUser = user;
                session.loggedIn = true;
            }
        }
    }

    if (!session.loggedIn) {
        long long accounts = 0;
        if (users.CountUsers(accounts, "").Ok() && accounts == 0) {
            session.currentUser =
                MakeUnlistedUser("NOUSER", "No Users in Database", locations.DataLocation);
            session.loggedIn = true;
        } else {
            LoginModel window(users, session, locations, ui, dialogs);
            window.Load();
            if (window.IsVisible()) dialogs.RunLogin(window);
        }
    }

    if (!session.loggedIn) return LogonOutcome::NobodyLoggedIn;
    session.chooserCanEdit = session.currentUser.HasRight(kRightManageDatabases);
    return LogonOutcome::LoggedIn;
}

}  // namespace vantor

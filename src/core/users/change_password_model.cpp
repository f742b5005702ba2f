#include "users/change_password_model.h"

#include "common/character_class.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "users/account_rules.h"
#include "users/current_user.h"
#include "users/login_model.h"
#include "users/users_database.h"

namespace vantor {

ChangePasswordModel::ChangePasswordModel(UsersDatabase& users, const CurrentUser& user,
                                         UserInterface& ui)
    : users_(users), user_(user), ui_(ui) {}

void ChangePasswordModel::Load() {
    closed_ = false;
    changed_ = false;
    if (user_.BuiltIn) {
        closed_ = true;
        return;
    }
    if (Trim(user_.LoginName) == "NOUSER") {
        ShowWarning(ui_,
                    "You must create a user account and login before you can change its password");
        closed_ = true;
        return;
    }
    padlock_.Start();
    ui_.SetCursor(MouseCursor::Default);
}

const std::string& ChangePasswordModel::Text(Box box) const {
    switch (box) {
        case Box::txtNewPassword:
            return new_;
        case Box::txtReNewPassword:
            return confirm_;
        default:
            return old_;
    }
}

void ChangePasswordModel::SetText(Box box, const std::string& text) {
    std::string limited = ToUpper(FirstCharacters(text, kMaxLength));
    switch (box) {
        case Box::txtOldPassword:
            old_ = limited;
            break;
        case Box::txtNewPassword:
            new_ = limited;
            break;
        case Box::txtReNewPassword:
            confirm_ = limited;
            break;
        case Box::OKB:
            break;
    }
}

int ChangePasswordModel::FilterKey(int keyCode) {
    // A new password can only hold what the login window lets anybody type: a password with a
    // character the login boxes swallow would lock its owner out of this program.
    return LoginModel::FilterKey(keyCode);
}

void ChangePasswordModel::TypeKey(Box box, int keyCode) {
    if (keyCode == kKeyEnter) return OK();
    if (keyCode == kKeyEscape) return Cancel();
    if (box == Box::OKB) return;
    int key = FilterKey(keyCode);
    if (key == 0) return;
    std::string text = Text(box);
    if (key == kKeyBackspace) {
        if (!text.empty()) text.pop_back();
    } else if (CharacterCount(text) < static_cast<size_t>(kMaxLength)) {
        text += static_cast<char>(key);
    }
    SetText(box, text);
}

void ChangePasswordModel::OK() {
    if (Trim(old_) != Trim(user_.Password)) {
        ShowInformation(ui_, "You have not entered your old password correctly");
        old_.clear();
        new_.clear();
        confirm_.clear();
        focus_ = Box::txtOldPassword;
        return;
    }
    const PasswordCheck check = CheckNewPassword(new_, confirm_, users_.Settings());
    if (check != PasswordCheck::Acceptable) {
        ShowInformation(ui_, PasswordRefusalMessage(check));
        // An empty password is refused as it stands; anything else is typed again, twice.
        if (check != PasswordCheck::Empty) {
            new_.clear();
            confirm_.clear();
            focus_ = Box::txtNewPassword;
        }
        return;
    }
    if (users_.ChangeUserPassword(Trim(user_.LoginName), Trim(new_), user_.LoginName).Ok()) {
        changed_ = true;
        ShowInformation(ui_, "Your password has been changed.");
    }
    closed_ = true;
}

}  // namespace vantor

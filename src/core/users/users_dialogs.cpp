#include "users/users_dialogs.h"

#include "users/change_password_model.h"

namespace vantor {

bool UsersDialogs::ChangePassword(UsersDatabase& users, const CurrentUser& user,
                                  UserInterface& ui) {
    ChangePasswordModel model(users, user, ui);
    model.Load();
    // Accounts that are not rows of the users table close the window as it loads.
    if (!model.IsClosed()) RunChangePassword(model);
    return model.PasswordChanged();
}

}  // namespace vantor

#include "headless/account_commands.h"

#include <cmath>
#include <iostream>
#include <vector>

#include "common/locale.h"
#include "common/problem_report.h"
#include "common/system_info.h"
#include "common/text.h"
#include "config/database_server.h"
#include "config/startup.h"
#include "headless/password_entry.h"
#include "importer/exit_status.h"
#include "session/dialogs.h"
#include "session/session.h"
#include "users/account_rules.h"
#include "users/login_model.h"
#include "users/users_database.h"

namespace vantor {

namespace {

using AccountOutcome = UsersDatabase::AccountOutcome;

int Refuse(UserInterface& ui, const std::string& message) {
    ShowError(ui, message);
    return exit_status::kStopped;
}

// Whoever keeps the accounts from the command line is named in the user history by the
// system account they work under: nobody logged in to this program.
std::string Actor() {
    return ToUpper(UserName());
}

// The password for an account, read and checked against the users database's rules; none
// (refused with its message) when it is missing or breaks one.
std::optional<std::string> NewPassword(Session& session) {
    std::string why;
    std::optional<NewPasswordEntry> entry = ReadNewPassword(why);
    if (!entry) {
        ShowError(session.ui, why);
        return std::nullopt;
    }
    if (PasswordCheck check =
            CheckNewPassword(entry->password, entry->repetition, session.users.Settings());
        check != PasswordCheck::Acceptable) {
        ShowError(session.ui, PasswordRefusalMessage(check));
        return std::nullopt;
    }
    return entry->password;
}

int AddUser(Session& session, const std::string& given, const std::string& rightsList) {
    UserInterface& ui = session.ui;
    UsersDatabase& users = session.users;
    const std::optional<std::array<bool, 6>> rights = ParseRightsList(rightsList);
    if (!rights) return Refuse(ui, kRightsListRefusal);
    // The name is settled before anybody is asked to type a password for it.
    const std::string name = ToUpper(Trim(given));
    if (LoginNameCheck check = CheckNewLoginName(name, users.LoginNameLength());
        check != LoginNameCheck::Acceptable)
        return Refuse(ui, LoginNameRefusalMessage(check, name, users.LoginNameLength()));
    if (users.HasUser(name)) return Refuse(ui, "There is already an account named '" + name + "'");
    std::optional<std::string> password = NewPassword(session);
    if (!password) return exit_status::kStopped;
    switch (users.AddUser(name, *password, *rights)) {
        case AccountOutcome::Refused:
            return exit_status::kStopped;
        case AccountOutcome::Failed:
            return exit_status::kWorkFailed;
        case AccountOutcome::Done:
            break;
    }
    std::cout << "added: " << name << " (rights " << RightsListText(*rights) << ")\n";
    return exit_status::kDone;
}

// The accounts that are not rows of the Users table have no password or row to change.
bool Unlisted(const std::string& name) {
    return IsBuiltInLoginName(name) || name == "NOUSER";
}

int SetPassword(Session& session, const std::string& given) {
    UserInterface& ui = session.ui;
    const std::string name = ToUpper(Trim(given));
    if (Unlisted(name))
        return Refuse(ui, "'" + name + "' is a built-in account: its password cannot be changed");
    if (!session.users.HasUser(name))
        return Refuse(ui,
                      "The password was not changed, because the user account could not be found");
    std::optional<std::string> password = NewPassword(session);
    if (!password) return exit_status::kStopped;
    if (!session.users.ChangeUserPassword(name, *password, Actor()).Ok())
        return exit_status::kWorkFailed;
    std::cout << "password changed: " << name << "\n";
    return exit_status::kDone;
}

int RemoveUser(Session& session, const std::string& given) {
    UserInterface& ui = session.ui;
    const std::string name = ToUpper(Trim(given));
    if (Unlisted(name))
        return Refuse(ui, "'" + name + "' is a built-in account and cannot be removed");
    if (!session.users.HasUser(name)) return Refuse(ui, "There is no account named '" + name + "'");
    if (!session.users.DeleteUser(name).Ok()) return exit_status::kWorkFailed;
    std::cout << "removed: " << name << "\n";
    return exit_status::kDone;
}

std::string PasswordExpiry(const AccountSummary& account, const UsersSettings& settings,
                           int today) {
    if (settings.PasswordExpiryDays <= 0) return "never";
    if (PasswordExpired(account.lastPasswordSetDate, settings.PasswordExpiryDays, today))
        return "expired";
    return FormatDate(std::floor(account.lastPasswordSetDate) + settings.PasswordExpiryDays,
                      "yyyy-mm-dd");
}

std::string Column(const std::string& text, size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 1, ' ');
}

int ListUsers(Session& session) {
    std::vector<AccountSummary> accounts;
    if (DbError e = session.users.ListUsers(accounts); !e.Ok()) {
        ProblemReport(session.ui, "reading the accounts of the users database", e);
        return exit_status::kWorkFailed;
    }
    const UsersSettings& settings = session.users.Settings();
    const int today = session.users.Today();
    std::cout << Column("NAME", 22) << Column("RIGHTS", 14) << Column("PASSWORD EXPIRES", 18)
              << "LAST LOGIN\n";
    for (const AccountSummary& account : accounts)
        std::cout << Column(account.loginName, 22) << Column(RightsListText(account.rights), 14)
                  << Column(PasswordExpiry(account, settings, today), 18)
                  << (account.lastLogin ? FormatDate(*account.lastLogin, "yyyy-mm-dd hh:nn:ss")
                                        : std::string("never"))
                  << "\n";
    return exit_status::kDone;
}

}  // namespace

int RunAccountCommand(Session& session, const LaunchOptions& options) {
    UserInterface& ui = session.ui;
    SystemLocations& locations = session.locations;
    if (!ReadInstallationSettings(locations, session.audiowall, ui, session.dialogs, session.clock,
                                  options.command))
        return exit_status::kStartupEnded;
    if (locations.DataLocation.empty()) {
        ShowError(ui,
                  "The installation has no data location yet: store one with "
                  "--set-data-location=DIR");
        return exit_status::kStartupEnded;
    }
    if (!session.users.OpenUsersDatabase(*UsersDatabaseStore(locations)).Ok()) {
        ShowError(ui, "The Users Database could not be opened");
        return exit_status::kStartupEnded;
    }
    int status = exit_status::kDone;
    if (options.addUser)
        status = AddUser(session, *options.addUser, options.rights.value_or(""));
    else if (options.setPassword)
        status = SetPassword(session, *options.setPassword);
    else if (options.removeUser)
        status = RemoveUser(session, *options.removeUser);
    else
        status = ListUsers(session);
    session.users.CloseUsersDatabase();
    return status;
}

}  // namespace vantor

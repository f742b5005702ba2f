#pragma once
// The logged-in user, as every part of the program that checks rights or records history sees
// it, and the flag that tells whether anybody is logged in at all.

#include <array>
#include <cstdint>
#include <string>

namespace vantor {

// Rights this program acts on; rights 1 to 4 are kept for the installation's other programs.
inline constexpr int kRightUseImporter = 5;
inline constexpr int kRightManageDatabases = 6;

struct CurrentUser {
    std::string LoginName;  // in capitals
    std::string Password;   // as typed at login, in capitals (not scrambled)
    std::string FullName;
    std::array<bool, 6> AccessRights{};  // rights 1 to 6; use HasRight
    bool OverrideAccessRights = false;
    int32_t GroupNumber = 0;
    std::string HomeDirectory;
    double LastPasswordSetDate = 0;  // serial date; 0 when never set
    bool BuiltIn = false;            // not a row of the Users table

    bool HasRight(int right) const {
        return right >= 1 && right <= 6 && AccessRights[static_cast<size_t>(right - 1)];
    }
    void SetAllRights(bool granted) { AccessRights.fill(granted); }
};

// Who is logged in for this run, owned by the session.
struct LoginSession {
    CurrentUser currentUser;
    bool loggedIn = false;  // currentUser is valid
    // The command-line login ("/USER=") is taken at most once per run.
    bool commandLineLoginTaken = false;
    // Whether the database chooser may edit. A login decides it from the right to manage
    // databases; an installation that does not ask users to log in never runs one and keeps
    // the chooser's own default, as its operator has every right.
    bool chooserCanEdit = true;
};

// An account that is not a row of the Users table, with every right: the no-user login and the
// login of an installation that does not ask users to log in. dataLocation + "\USERS" is its
// home directory; its password was set on the day before the date scale began.
CurrentUser MakeUnlistedUser(const std::string& loginName, const std::string& fullName,
                             const std::string& dataLocation);

}  // namespace vantor

#pragma once
// What a new login name or a new password must be, wherever one is given: the change-password
// window and the account commands of the unattended program apply the same rules, so that an
// account made without a window can log in through one.

#include <array>
#include <optional>
#include <string>

namespace vantor {

struct UsersSettings;

// The longest password anybody can type into the change-password window.
inline constexpr int kMaxPasswordLength = 12;

enum class [[nodiscard]] PasswordCheck{Acceptable, Empty, Mismatch, TooLong, NotTypable};

// Checks a new password and its repetition, both trimmed and in capitals as they are stored.
// Empty is refused only when the users database forbids empty passwords.
PasswordCheck CheckNewPassword(const std::string& password, const std::string& confirmation,
                               const UsersSettings& settings);
// The message that tells the person why; empty for an acceptable password.
std::string PasswordRefusalMessage(PasswordCheck check);

enum class [[nodiscard]] LoginNameCheck{Acceptable, Empty, TooLong, NotTypable, Reserved};

// Checks the name of an account to be created (trimmed, in capitals). The built-in accounts,
// the no-user login and the account processing's own name are reserved: an account of that
// name could never log in as itself, or would be mistaken for it in the user history.
LoginNameCheck CheckNewLoginName(const std::string& loginName, int maxLength);
std::string LoginNameRefusalMessage(LoginNameCheck check, const std::string& loginName,
                                    int maxLength);

// A list of access-right numbers as the users database stores them, separated by commas
// ("5,6"): the six rights granted by it. An empty list grants none; anything but the numbers
// 1 to 6 gives none back.
std::optional<std::array<bool, 6>> ParseRightsList(const std::string& list);
// The list of the rights granted, "5,6"; "-" for none.
std::string RightsListText(const std::array<bool, 6>& rights);
inline constexpr const char* kRightsListRefusal =
    "The rights are numbers from 1 to 6 separated by commas, such as 5,6";

// True for the names of the accounts that are not rows of the Users table.
bool IsBuiltInLoginName(const std::string& loginName);

}  // namespace vantor

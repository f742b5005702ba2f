#include "users/account_rules.h"

#include "common/character_class.h"
#include "common/text.h"
#include "users/users_database.h"

namespace vantor {

namespace {

// The login boxes let through only digits, letters and spaces: a name or password holding
// anything else could be stored but never typed again.
bool Typable(const std::string& text) {
    return CharacterClassCheck(text, kClassDigitsLettersSpace);
}

}  // namespace

PasswordCheck CheckNewPassword(const std::string& password, const std::string& confirmation,
                               const UsersSettings& settings) {
    const std::string wanted = ToUpper(Trim(password));
    if (wanted.empty() && settings.AllowEmptyPasswords == 0) return PasswordCheck::Empty;
    if (wanted != ToUpper(Trim(confirmation))) return PasswordCheck::Mismatch;
    if (CharacterCount(wanted) > static_cast<size_t>(kMaxPasswordLength))
        return PasswordCheck::TooLong;
    if (!Typable(wanted)) return PasswordCheck::NotTypable;
    return PasswordCheck::Acceptable;
}

std::string PasswordRefusalMessage(PasswordCheck check) {
    switch (check) {
        case PasswordCheck::Empty:
            return "You must enter a password";
        case PasswordCheck::Mismatch:
            return "The new and confirmed passwords do not match. Please type them again";
        case PasswordCheck::TooLong:
            return "A password may be at most " + std::to_string(kMaxPasswordLength) +
                   " characters long";
        case PasswordCheck::NotTypable:
            return "A password may hold only letters, digits and spaces";
        case PasswordCheck::Acceptable:
            break;
    }
    return "";
}

std::optional<std::array<bool, 6>> ParseRightsList(const std::string& list) {
    std::array<bool, 6> rights{};
    if (Trim(list).empty()) return rights;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string number = Trim(
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (number.size() != 1 || number[0] < '1' || number[0] > '6') return std::nullopt;
        rights[static_cast<size_t>(number[0] - '1')] = true;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return rights;
}

std::string RightsListText(const std::array<bool, 6>& rights) {
    std::string text;
    for (size_t right = 0; right < rights.size(); ++right) {
        if (!rights[right]) continue;
        if (!text.empty()) text += ",";
        text += std::to_string(right + 1);
    }
    return text.empty() ? "-" : text;
}

bool IsBuiltInLoginName(const std::string& loginName) {
    const std::string name = ToUpper(Trim(loginName));
    return name == "TRESSEL" || name == "DAYCODE";
}

LoginNameCheck CheckNewLoginName(const std::string& loginName, int maxLength) {
    const std::string name = ToUpper(Trim(loginName));
    if (name.empty()) return LoginNameCheck::Empty;
    if (CharacterCount(name) > static_cast<size_t>(maxLength)) return LoginNameCheck::TooLong;
    if (!Typable(name)) return LoginNameCheck::NotTypable;
    if (IsBuiltInLoginName(name) || name == "NOUSER" || name == "SYSTEM")
        return LoginNameCheck::Reserved;
    return LoginNameCheck::Acceptable;
}

std::string LoginNameRefusalMessage(LoginNameCheck check, const std::string& loginName,
                                    int maxLength) {
    switch (check) {
        case LoginNameCheck::Empty:
            return "You must enter a login name";
        case LoginNameCheck::TooLong:
            return "A login name may be at most " + std::to_string(maxLength) + " characters long";
        case LoginNameCheck::NotTypable:
            return "A login name may hold only letters, digits and spaces";
        case LoginNameCheck::Reserved:
            return "'" + ToUpper(Trim(loginName)) +
                   "' is the name of a built-in account and cannot be used";
        case LoginNameCheck::Acceptable:
            break;
    }
    return "";
}

}  // namespace vantor

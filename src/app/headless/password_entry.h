#pragma once
// A new password typed by the operator, never taken from the command line (every user of
// the machine can read a command line): at a terminal it is asked twice without echo; from a
// pipe or a file the first line is the password and the second its repetition.

#include <optional>
#include <string>

namespace vantor {

struct NewPasswordEntry {
    std::string password;
    std::string repetition;
};

// Reads from standard input. Prompts go to standard error. None when standard input ended
// before both lines were given (the reason is in why).
std::optional<NewPasswordEntry> ReadNewPassword(std::string& why);

}  // namespace vantor

#pragma once
// The start-up switches ("/LI:", "/SI:", "/DEBUG", "/USER=", ...) are recognised anywhere in the
// capitalised command line, so that a scheduler may pass them in any order and any letter case.

#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// " " + the command line in capitals: every switch can then be searched as plain text.
std::string CapitalisedCommandLine(std::string_view commandLine);

// True when the command line contains the switch.
bool HasSwitch(std::string_view commandLine, std::string_view switchText);

// The value of a switch: the text after it up to the next blank, leading blanks skipped ("" for
// a switch followed by nothing); nullopt when the switch is absent.
std::optional<std::string> SwitchValue(std::string_view commandLine, std::string_view switchText);

}  // namespace vantor

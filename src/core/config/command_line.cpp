#include "config/command_line.h"

#include "common/text.h"

namespace vantor {

std::string CapitalisedCommandLine(std::string_view commandLine) {
    return " " + ToUpper(commandLine);
}

bool HasSwitch(std::string_view commandLine, std::string_view switchText) {
    return commandLine.find(switchText) != std::string_view::npos;
}

std::optional<std::string> SwitchValue(std::string_view commandLine, std::string_view switchText) {
    size_t at = commandLine.find(switchText);
    if (at == std::string_view::npos) return std::nullopt;
    size_t start = at + switchText.size();
    while (start < commandLine.size() && (commandLine[start] == ' ' || commandLine[start] == '\t'))
        ++start;
    size_t end = start;
    while (end < commandLine.size() && commandLine[end] != ' ' && commandLine[end] != '\t') ++end;
    return std::string(commandLine.substr(start, end - start));
}

}  // namespace vantor

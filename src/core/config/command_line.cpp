#include "config/command_line.h"

#include "common/text.h"

namespace vantor {

namespace {

// A switch either sets a flag (the whole word, "/AUTO") or takes a value (its word begins with
// it, "/USER=NAME").
struct Switch {
    std::string_view spelling;
    bool StartupCommand::*flag;
    std::optional<std::string> StartupCommand::*value;
};

constexpr Switch kSwitches[] = {
    {"/AUTO", &StartupCommand::autoImport, nullptr},
    {"/QUIT", &StartupCommand::quit, nullptr},
    {"/DEBUG", &StartupCommand::debug, nullptr},
    {"/USER=", nullptr, &StartupCommand::user},
    {"/LI:", nullptr, &StartupCommand::configFile},
    {"/SI:", nullptr, &StartupCommand::systemIniFile},
};

const Switch* SwitchOf(std::string_view word) {
    for (const Switch& entry : kSwitches) {
        if (entry.flag ? EqualsNoCase(word, entry.spelling)
                       : StartsWithNoCase(word, entry.spelling))
            return &entry;
    }
    return nullptr;
}

}  // namespace

StartupCommand CommandFromWords(const std::vector<std::string>& words) {
    StartupCommand command;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const Switch* entry = SwitchOf(word);
        if (!entry) {
            if (i == 0 && FindNoCase(word, ".MDB") != std::string::npos)
                command.database = ToUpper(Trim(word));
            continue;
        }
        if (entry->flag) {
            command.*entry->flag = true;
            continue;
        }
        std::string value = Trim(std::string_view(word).substr(entry->spelling.size()));
        // "/LI: FILE": the value is the next word, unless that word is a switch of its own.
        if (value.empty() && i + 1 < words.size() && !SwitchOf(words[i + 1])) value = Trim(words[++i]);
        std::optional<std::string>& field = command.*entry->value;
        if (!field) field = ToUpper(value);
    }
    return command;
}

std::vector<std::string> CommandLineWords(std::string_view commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

StartupCommand ParseCommandLine(std::string_view commandLine) {
    return CommandFromWords(CommandLineWords(commandLine));
}

}  // namespace vantor

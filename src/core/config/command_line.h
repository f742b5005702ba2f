#pragma once
// The station's switches ("/AUTO", "/QUIT", a database name as the first word, "/USER=",
// "/LI:", "/SI:", "/DEBUG") as one typed command that start-up consumes. Both ways a run is
// started produce it: the program's own arguments (one word each, so a value keeps its
// blanks) and a station's command-line text (a shortcut or a scheduler's line). The switches
// are recognised in any letter case and in any order; their values are held in capitals, as
// the stations hold their command line (files are found whatever the letter case of their
// names).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

struct StartupCommand {
    // The playout database named as the first word ("KORA26.MDB"), taken without the chooser
    // and without validation; empty: the chooser decides.
    std::string database;
    // "/USER=NAME": log NAME in without a password (once per run).
    std::optional<std::string> user;
    // "/LI:FILE": the configuration file; "" when the switch came without a name.
    std::optional<std::string> configFile;
    // "/SI:FILE": the system settings file.
    std::optional<std::string> systemIniFile;
    bool debug = false;       // "/DEBUG": trace everything
    bool autoImport = false;  // "/AUTO": import the proposed range once start-up is done
    bool quit = false;        // "/QUIT": with "/AUTO", close after that import

    bool operator==(const StartupCommand&) const = default;
};

// The command of a run from its words, one argument each. A switch's value is the rest of its
// word, or the next word when the rest is empty and that word is no switch ("/LI: FILE").
// The first word is the database when it is no switch and names a ".MDB" file. A value
// switch given twice keeps its first value; words that are no switch of the program are
// passed over.
StartupCommand CommandFromWords(const std::vector<std::string>& words);

// The command of a station's command-line text: its words are separated by blanks, and a part
// in double quotes is one word without its quotes ("/USER="Mary Ann"").
StartupCommand ParseCommandLine(std::string_view commandLine);

// The words of a command-line text, as ParseCommandLine splits them.
std::vector<std::string> CommandLineWords(std::string_view commandLine);

}  // namespace vantor

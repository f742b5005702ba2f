#include "headless/launch_options.h"

#include "common/text.h"
#include "config/command_line.h"

namespace vantor {

namespace {

struct ValueOption {
    const char* name;  // without the "="
    std::optional<std::string> LaunchOptions::*field;
};

constexpr ValueOption kValueOptions[] = {
    {"--user", &LaunchOptions::user},
    {"--start-date", &LaunchOptions::startDate},
    {"--start-hour", &LaunchOptions::startHour},
    {"--end-date", &LaunchOptions::endDate},
    {"--end-hour", &LaunchOptions::endHour},
    {"--create-database", &LaunchOptions::createDatabase},
    {"--description", &LaunchOptions::description},
};

struct MenuOption {
    const char* name;
    MenuAction action;
};

constexpr MenuOption kMenuOptions[] = {
    {"--scan", MenuAction::Scan},
    {"--remove-range", MenuAction::RemoveRange},
    {"--resend", MenuAction::ReSend},
    {"--remove-all", MenuAction::RemoveAll},
    {"--empty-songs", MenuAction::EmptySongs},
};

struct FlagOption {
    const char* name;
    bool LaunchOptions::*field;
};

constexpr FlagOption kFlagOptions[] = {
    {"--headless", &LaunchOptions::headless}, {"--help", &LaunchOptions::help},
    {"--version", &LaunchOptions::version},   {"--auto", &LaunchOptions::autoImport},
    {"--quit", &LaunchOptions::quit},         {"--yes", &LaunchOptions::answerYes},
};

bool IsLinuxOption(const std::string& argument) {
    return argument.size() > 2 && argument[0] == '-' && argument[1] == '-';
}

}  // namespace

LaunchParse ParseLaunchOptions(const std::vector<std::string>& arguments) {
    LaunchParse result;
    LaunchOptions& options = result.options;
    for (const std::string& argument : arguments) {
        if (!IsLinuxOption(argument)) {
            if (argument == "-h") {
                options.help = true;
                continue;
            }
            options.stationArguments.push_back(argument);
            continue;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const bool hasValue = equals != std::string::npos;
        const std::string value = hasValue ? argument.substr(equals + 1) : std::string();

        bool known = false;
        bool takesValue = false;
        for (const ValueOption& option : kValueOptions) {
            if (name != option.name) continue;
            known = takesValue = true;
            if (!hasValue) {
                result.error = name + " needs a value: " + name + "=...";
                return result;
            }
            options.*option.field = value;
        }
        for (const MenuOption& option : kMenuOptions) {
            if (name != option.name) continue;
            known = true;
            options.menuActions.push_back(option.action);
        }
        for (const FlagOption& flag : kFlagOptions) {
            if (name != flag.name) continue;
            known = true;
            options.*flag.field = true;
        }
        if (!known) {
            result.error = "unknown option " + name;
            return result;
        }
        if (hasValue && !takesValue) {
            result.error = name + " takes no value";
            return result;
        }
    }

    if (options.user && Trim(*options.user).empty()) {
        result.error = "--user needs a login name";
        return result;
    }
    if (options.createDatabase) {
        const std::string name = Trim(*options.createDatabase);
        if (!EndsWithNoCase(name, ".MDB") || name.size() <= 4) {
            result.error = "--create-database needs a file name ending in .MDB, such as KORA26.MDB";
            return result;
        }
        // The station's own "/AUTO" asks for an import just as "--auto" does; quietly
        // creating the database instead would leave a scheduler believing it had imported.
        std::string stationLine;
        for (const std::string& argument : options.stationArguments) stationLine += " " + argument;
        const bool stationAuto = HasSwitch(CapitalisedCommandLine(stationLine), "/AUTO");
        if (!options.menuActions.empty() || options.autoImport || stationAuto ||
            options.startDate || options.startHour || options.endDate || options.endHour) {
            result.error = "--create-database runs on its own; import in a second run";
            return result;
        }
    } else if (options.description) {
        result.error = "--description belongs to --create-database";
        return result;
    }
    return result;
}

std::string UsageText() {
    return "Usage: vantor-logimport --headless [DATABASE.MDB] [/AUTO] [/QUIT] [options]\n"
           "\n"
           "Imports the music scheduler's daily logs into a Kora playout database.\n"
           "\n"
           "Station switches (any letter case, anywhere on the line):\n"
           "  DATABASE.MDB      the playout database in the data location's SCHEDULE\n"
           "                    directory; recognised only as the first word\n"
           "  /AUTO             import the proposed range once start-up is done\n"
           "  /QUIT             with /AUTO: close after that import\n"
           "  /USER=NAME        log in as NAME without a password\n"
           "  /LI:FILE          use FILE as the installation's configuration file\n"
           "  /SI:FILE          use FILE as the system settings file\n"
           "  /DEBUG            write a diagnostic trace file\n"
           "\n"
           "Options:\n"
           "  --headless        run without windows: messages go to standard error as\n"
           "                    '<kind>: <text>', questions take their default button\n"
           "  --auto, --quit, --user=NAME   the same as /AUTO, /QUIT, /USER=NAME\n"
           "  --start-date=TEXT --start-hour=TEXT --end-date=TEXT --end-hour=TEXT\n"
           "                    type into the range fields after the default range is proposed\n"
           "  --scan            rescan the log files for the range to import\n"
           "  --remove-range    remove the entries of the range\n"
           "  --resend          remove the range, then import it again\n"
           "  --remove-all      remove every entry of the playout log\n"
           "  --empty-songs     empty the Songs library\n"
           "  --yes             answer Yes to those items' confirmation questions\n"
           "  --create-database=NAME.MDB [--description=TEXT]\n"
           "                    create a Kora playout database and end\n"
           "  --help, --version\n"
           "\n"
           "Exit status: 0 done, error report empty; 4 done, error report not empty (printed\n"
           "on standard output); 3 the import or removal failed; 2 a check of the range, the\n"
           "database or the logs directory (or a question answered No) stopped it; 1 start-up\n"
           "ended the program; 64 a bad command line.\n";
}

std::string StationCommandLine(const LaunchOptions& options) {
    std::string line;
    for (const std::string& argument : options.stationArguments) {
        if (!line.empty()) line += ' ';
        line += argument;
    }
    if (options.user) line += " /USER=" + *options.user;
    return line;
}

}  // namespace vantor

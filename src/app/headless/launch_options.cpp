#include "headless/launch_options.h"

#include "common/text.h"

namespace vantor {

namespace {

struct ValueOption {
    const char* name;  // without the "="
    std::optional<std::string> LaunchOptions::*field;
};

constexpr ValueOption kValueOptions[] = {
    {"--start-date", &LaunchOptions::startDate},
    {"--start-hour", &LaunchOptions::startHour},
    {"--end-date", &LaunchOptions::endDate},
    {"--end-hour", &LaunchOptions::endHour},
    {"--create-database", &LaunchOptions::createDatabase},
    {"--description", &LaunchOptions::description},
    {"--set-data-location", &LaunchOptions::dataLocation},
    {"--set-cart-directory", &LaunchOptions::cartDirectory},
    {"--set-database-server", &LaunchOptions::databaseServer},
    {"--copy-database-to-server", &LaunchOptions::copyToServer},
    {"--format", &LaunchOptions::format},
    {"--add-user", &LaunchOptions::addUser},
    {"--rights", &LaunchOptions::rights},
    {"--set-password", &LaunchOptions::setPassword},
    {"--remove-user", &LaunchOptions::removeUser},
    {"--run-record", &LaunchOptions::runRecord},
    {"--metrics-file", &LaunchOptions::metricsFile},
};

struct MenuOption {
    const char* name;
    MenuAction action;
};

constexpr MenuOption kMenuOptions[] = {
    {"--scan", MenuAction::Scan},
    {"--remove-range", MenuAction::RemoveRange},
    {"--resend", MenuAction::ReSend},
    {"--preview", MenuAction::Preview},
    {"--remove-all", MenuAction::RemoveAll},
    {"--empty-songs", MenuAction::EmptySongs},
};

struct FlagOption {
    const char* name;
    bool LaunchOptions::*field;
};

constexpr FlagOption kFlagOptions[] = {
    {"--headless", &LaunchOptions::headless},
    {"--help", &LaunchOptions::help},
    {"--version", &LaunchOptions::version},
    {"--yes", &LaunchOptions::answerYes},
    {"--replace", &LaunchOptions::replace},
    {"--list-users", &LaunchOptions::listUsers},
};

// Options that may be given more than once, each value kept in order.
struct ListOption {
    const char* name;
    std::vector<std::string> LaunchOptions::*field;
};

constexpr ListOption kListOptions[] = {
    {"--import-windows-database", &LaunchOptions::windowsDatabases},
};

// The Linux spellings of station switches: each becomes the station's word.
struct StationOption {
    const char* name;
    const char* station;  // "/USER=" takes the option's value after it
    bool takesValue;
};

constexpr StationOption kStationOptions[] = {
    {"--auto", "/AUTO", false},
    {"--quit", "/QUIT", false},
    {"--user", "/USER=", true},
};

bool IsLinuxOption(const std::string& argument) {
    return argument.size() > 2 && argument[0] == '-' && argument[1] == '-';
}

}  // namespace

LaunchParse ParseLaunchOptions(const std::vector<std::string>& arguments) {
    LaunchParse result;
    LaunchOptions& options = result.options;
    std::vector<std::string> stationWords;
    // The Linux spellings come after the station's own words, so that the first word (the
    // database) stays first.
    std::vector<std::string> spelledWords;
    for (const std::string& argument : arguments) {
        if (!IsLinuxOption(argument)) {
            if (argument == "-h") {
                options.help = true;
                continue;
            }
            stationWords.push_back(argument);
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
        for (const ListOption& option : kListOptions) {
            if (name != option.name) continue;
            known = takesValue = true;
            if (!hasValue || Trim(value).empty()) {
                result.error = name + " needs a file: " + name + "=PATH";
                return result;
            }
            (options.*option.field).push_back(value);
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
        for (const StationOption& option : kStationOptions) {
            if (name != option.name) continue;
            known = true;
            takesValue = option.takesValue;
            if (takesValue && !hasValue) {
                result.error = name + " needs a value: " + name + "=...";
                return result;
            }
            if (takesValue && Trim(value).empty()) {
                result.error = name + " needs a login name";
                return result;
            }
            spelledWords.push_back(option.station + (takesValue ? value : std::string()));
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
    stationWords.insert(stationWords.end(), spelledWords.begin(), spelledWords.end());
    options.command = CommandFromWords(stationWords);

    for (const auto& [given, option] : {std::pair{&options.dataLocation, "--set-data-location"},
                                        std::pair{&options.cartDirectory, "--set-cart-directory"}})
        if (*given && Trim(**given).empty()) {
            result.error = std::string(option) + " needs a directory";
            return result;
        }
    for (const auto& [given, option] : {std::pair{&options.runRecord, "--run-record"},
                                        std::pair{&options.metricsFile, "--metrics-file"}})
        if (*given && Trim(**given).empty()) {
            result.error = std::string(option) + " needs a file name";
            return result;
        }
    if (options.format) {
        if (*options.format != "text" && *options.format != "json") {
            result.error = "--format is text or json";
            return result;
        }
        bool previews = false;
        for (MenuAction action : options.menuActions) previews |= action == MenuAction::Preview;
        if (!previews) {
            result.error = "--format belongs to --preview";
            return result;
        }
    }
    const bool asksForWork = !options.menuActions.empty() || options.command.autoImport ||
                             options.startDate || options.startHour || options.endDate ||
                             options.endHour;
    if (options.createDatabase) {
        const std::string name = Trim(*options.createDatabase);
        if (!EndsWithNoCase(name, ".MDB") || name.size() <= 4) {
            result.error = "--create-database needs a file name ending in .MDB, such as KORA26.MDB";
            return result;
        }
        // Quietly creating the database instead of importing would leave a scheduler
        // believing it had imported.
        if (asksForWork) {
            result.error = "--create-database runs on its own; import in a second run";
            return result;
        }
    } else if (options.description) {
        result.error = "--description belongs to --create-database";
        return result;
    }
    if (options.copyToServer) {
        const std::string name = Trim(*options.copyToServer);
        if (!EndsWithNoCase(name, ".MDB") || name.size() <= 4) {
            result.error =
                "--copy-database-to-server needs a file name ending in .MDB, such as KORA26.MDB";
            return result;
        }
    }
    if ((options.databaseServer || options.copyToServer) &&
        (asksForWork || options.createDatabase || options.SetsFileLocations() ||
         !options.windowsDatabases.empty() || (options.databaseServer && options.copyToServer))) {
        result.error = "--set-database-server and --copy-database-to-server run on their own";
        return result;
    }
    if (!options.windowsDatabases.empty()) {
        // Bringing databases over replaces files others may be using: a run of its own.
        if (asksForWork || options.createDatabase || options.SetsFileLocations()) {
            result.error = "--import-windows-database runs on its own";
            return result;
        }
    } else if (options.replace) {
        result.error = "--replace belongs to --import-windows-database";
        return result;
    }
    if (options.SetsFileLocations()) {
        // A set-up is a run of its own, as a database creation is: a scheduled import line
        // that carried the locations would rewrite the configuration file at every run.
        if (asksForWork) {
            result.error =
                "--set-data-location and --set-cart-directory run on their own or with "
                "--create-database; import in a second run";
            return result;
        }
    }
    const int accountCommands = int(options.addUser.has_value()) +
                                int(options.setPassword.has_value()) +
                                int(options.removeUser.has_value()) + int(options.listUsers);
    if (options.rights && !options.addUser) {
        result.error = "--rights belongs to --add-user";
        return result;
    }
    if (options.addUser && !options.rights) {
        result.error = "--add-user needs --rights=LIST, the access rights 1 to 6 it grants "
                       "(--rights=5,6; --rights= grants none)";
        return result;
    }
    if (accountCommands > 1) {
        result.error =
            "--add-user, --set-password, --remove-user and --list-users run one at a time";
        return result;
    }
    // An account command in a scheduled import line would run instead of the import, or
    // ask for a password nobody is there to type.
    if (accountCommands == 1 && (asksForWork || options.createDatabase ||
                                 options.SetsFileLocations() || !options.windowsDatabases.empty())) {
        result.error = "the account commands run on their own; import in a second run";
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
           "  --preview         show what an import of the range would do, writing nothing:\n"
           "                    each hour's state, entries, length and missing carts\n"
           "  --format=json     with --preview: print one JSON document instead of text\n"
           "                    (everything else then goes to standard error)\n"
           "  --remove-all      remove every entry of the playout log\n"
           "  --empty-songs     empty the Songs library\n"
           "  --yes             answer Yes to those items' confirmation questions\n"
           "  --create-database=NAME.MDB [--description=TEXT]\n"
           "                    create a Kora playout database and end\n"
           "  --set-data-location=DIR\n"
           "                    store DIR as the data location in the configuration file,\n"
           "                    as the file locations window does, creating what is missing\n"
           "  --set-cart-directory=DIR\n"
           "                    store DIR as the directory of every cart of the Audiowall;\n"
           "                    both run on their own or before --create-database\n"
           "  --set-database-server=CONNINFO\n"
           "                    keep the installation's databases on the PostgreSQL server of\n"
           "                    CONNINFO (host=studio-db dbname=vantor user=station), written\n"
           "                    to [Database] of VNTR_SYS.INI once the server answers; the\n"
           "                    password comes from ~/.pgpass or PGPASSWORD; an empty value\n"
           "                    returns to files. VANTOR_DB_SERVER overrides it for one run\n"
           "  --copy-database-to-server=NAME.MDB\n"
           "                    copy a database file of the data location onto that server\n"
           "  --import-windows-database=PATH [--replace]\n"
           "                    bring over a playout or users database of the Windows\n"
           "                    installation (a Jet 3 or Jet 4 .MDB file; give it once per\n"
           "                    file): a playout database goes to SCHEDULE under its own\n"
           "                    name, the users database replaces USERS/USERS25.MDB; an\n"
           "                    existing database is replaced only with --replace and kept\n"
           "                    as NAME-0001.BAK; a report per table goes to standard output\n"
           "  --add-user=NAME --rights=LIST\n"
           "                    create an account of the users database with the access\n"
           "                    rights of LIST (numbers 1 to 6: --rights=5,6; 5 allows this\n"
           "                    program, 6 managing databases)\n"
           "  --set-password=NAME\n"
           "                    give an account a new password\n"
           "                    (both read the password from standard input: at a terminal\n"
           "                    it is asked twice without echo; otherwise the first line is\n"
           "                    the password and the second its repetition)\n"
           "  --remove-user=NAME  delete an account\n"
           "  --list-users      the accounts: name, rights, password expiry, last login\n"
           "  --run-record=PATH at the end of the run, write one JSON document: each day and\n"
           "                    hour the import walked (state, entries, length, missing\n"
           "                    carts, the error report's lines), the summary, the run's\n"
           "                    start, end and exit status\n"
           "  --metrics-file=PATH  the same summary as Prometheus text metrics (for\n"
           "                    node_exporter's textfile collector); both files are\n"
           "                    replaced whole, never seen half written\n"
           "  --help, --version\n"
           "\n"
           "Exit status:\n"
           "  0   the requested work ran and the error report is empty or says only that\n"
           "      hours were already in the log (\"was not re-sent\")\n"
           "  4   it ran and the error report holds a problem (printed on standard output):\n"
           "      missing carts, hours that may under-run, lost or failed hours, or a\n"
           "      problem report was shown; for --preview: the import would report something;\n"
           "      for --import-windows-database: something was left out (see the report)\n"
           "  3   the import, a removal or the storing of the file locations failed\n"
           "  2   a check stopped it: the range, the database, the logs directory, a\n"
           "      question answered No, a directory that cannot be created, a file that\n"
           "      is not a Jet 3/4 database (nothing is written then), a database that\n"
           "      exists without --replace, an account command's refusal (a name, a\n"
           "      password or the rights)\n"
           "  1   start-up ended the program\n"
           "  64  a bad command line\n"
           "\n"
           "Environment:\n"
           "  VANTOR_WINDIR       the directory of VANTOR.INI and registry.ini (default\n"
           "                      $XDG_CONFIG_HOME/vantor, else ~/.config/vantor)\n"
           "  VANTOR_PROGRAM_DIR  where error.log and history.log are written (default: an\n"
           "                      installed program $XDG_STATE_HOME/vantor-logimport, else\n"
           "                      ~/.local/state/vantor-logimport; otherwise the program's\n"
           "                      own directory)\n"
           "  VANTOR_TRACE_DIR    where /DEBUG writes its trace file (default $TMPDIR or /tmp)\n";
}

}  // namespace vantor

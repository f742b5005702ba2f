#pragma once
// The program's command line. The words that are not Linux-style options are the station's
// own switches ("/AUTO", "/QUIT", a database name as the first word, "/USER=", "/LI:", "/SI:",
// "/DEBUG"): they become the typed start-up command, each argument one word, so that a value
// keeps its blanks. The Linux-style options are taken out first, so that, for example, the
// ".MDB" of "--create-database=NEW.MDB" is never mistaken for the database to open.
//
// A new option is one row of a table in launch_options.cpp (a flag, an option with a value or
// a menu item) and a member here; its checks follow the table walk in ParseLaunchOptions.

#include <optional>
#include <string>
#include <vector>

#include "config/command_line.h"

namespace vantor {

// A menu item of the main window that the unattended run can press, in the order given.
enum class MenuAction { Scan, RemoveRange, ReSend, Preview, RemoveAll, EmptySongs };

struct LaunchOptions {
    bool headless = false;
    bool help = false;
    bool version = false;

    // The station's switches, typed; "--auto", "--quit" and "--user=NAME" are their Linux
    // spellings of "/AUTO", "/QUIT" and "/USER=NAME".
    StartupCommand command;

    // Texts typed into the range fields after start-up proposed the default range.
    std::optional<std::string> startDate;
    std::optional<std::string> startHour;
    std::optional<std::string> endDate;
    std::optional<std::string> endHour;

    std::vector<MenuAction> menuActions;
    bool answerYes = false;
    // How "--preview" prints: "text" (the default) or "json".
    std::optional<std::string> format;
    bool JsonPreview() const { return format && *format == "json"; }

    std::optional<std::string> createDatabase;  // "NAME.MDB"
    // Databases of a Windows installation to bring over ("--import-windows-database=PATH",
    // given once per file), and whether an existing database of the same name is replaced.
    std::vector<std::string> windowsDatabases;
    bool replace = false;
    std::optional<std::string> description;

    // A first set-up without a display: what the file locations dialog would be given.
    std::optional<std::string> dataLocation;   // "--set-data-location=DIR"
    std::optional<std::string> cartDirectory;  // "--set-cart-directory=DIR", every cart
    bool SetsFileLocations() const { return dataLocation || cartDirectory; }

    // Where the databases are: "--set-database-server=CONNINFO" (empty: files again), and a
    // database file to copy onto that server ("--copy-database-to-server=NAME.MDB").
    std::optional<std::string> databaseServer;
    std::optional<std::string> copyToServer;

    // The accounts of the users database, kept without a window. Passwords come from standard
    // input only: a command line is seen by every user of the machine.
    std::optional<std::string> addUser;      // "--add-user=NAME"
    std::optional<std::string> rights;       // "--rights=5,6", with --add-user
    std::optional<std::string> setPassword;  // "--set-password=NAME"
    std::optional<std::string> removeUser;   // "--remove-user=NAME"
    bool listUsers = false;                  // "--list-users"
    bool ManagesAccounts() const { return addUser || setPassword || removeUser || listUsers; }

    // Written at the end of the run for monitoring: the run's record as one JSON document, and
    // its summary as Prometheus metrics. Each replaces its file whole.
    std::optional<std::string> runRecord;    // "--run-record=PATH"
    std::optional<std::string> metricsFile;  // "--metrics-file=PATH"
};

struct LaunchParse {
    LaunchOptions options;
    std::string error;  // not empty: the command line is bad
};

LaunchParse ParseLaunchOptions(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace vantor

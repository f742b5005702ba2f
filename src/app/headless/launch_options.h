#pragma once
// The program's command line: the station's own switches ("/AUTO", "/QUIT", a database name
// as the first word, "/USER=", "/LI:", "/SI:", "/DEBUG") pass through untouched into the
// capitalised command line the start-up searches; the Linux-style options are taken out here
// so that, for example, the ".MDB" of "--create-database=NEW.MDB" is never mistaken for the
// database to open.

#include <optional>
#include <string>
#include <vector>

namespace vantor {

// A menu item of the main window that the unattended run can press, in the order given.
enum class MenuAction { Scan, RemoveRange, ReSend, Preview, RemoveAll, EmptySongs };

struct LaunchOptions {
    bool headless = false;
    bool help = false;
    bool version = false;

    // The station's switches, in the order given (joined later into the capitalised line).
    std::vector<std::string> stationArguments;

    // Linux spellings of "/AUTO", "/QUIT" and "/USER=".
    bool autoImport = false;
    bool quit = false;
    std::optional<std::string> user;

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
    std::optional<std::string> description;

    // A first set-up without a display: what the file locations dialog would be given.
    std::optional<std::string> dataLocation;   // "--set-data-location=DIR"
    std::optional<std::string> cartDirectory;  // "--set-cart-directory=DIR", every cart
    bool SetsFileLocations() const { return dataLocation || cartDirectory; }
};

struct LaunchParse {
    LaunchOptions options;
    std::string error;  // not empty: the command line is bad
};

LaunchParse ParseLaunchOptions(const std::vector<std::string>& arguments);

std::string UsageText();

// The station's switches as one line, "--user=NAME" joined as the "/USER=" it stands for (at
// the end, so that the first word, the database, stays first).
std::string StationCommandLine(const LaunchOptions& options);

}  // namespace vantor

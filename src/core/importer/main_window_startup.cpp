// The main window's start-up: the installation, the settings, the users database and the
// login, then the playout database, the range and the Audiowall, and the "/AUTO" step. The
// windows it may need on the way (configuration set, file locations, login, database chooser)
// open through the session's Dialogs.

#include "audiowall/audiowall_store.h"
#include "common/system_info.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "common/profile.h"
#include "common/text.h"
#include "config/database_server.h"
#include "config/startup.h"
#include "dbengine/database_file.h"
#include "dbmanage/database_types.h"
#include "importer/import_settings.h"
#include "importer/main_window_model.h"
#include "importer/pending_resend.h"
#include "playoutdb/log_table.h"
#include "playoutdb/playout_tables.h"
#include "session/dialogs.h"
#include "session/session.h"
#include "users/login_model.h"

namespace vantor {

bool LogImportModel::CloseDuringLoad() {
    Close();
    return false;
}

bool LogImportModel::Load(const StartupCommand& command) {
    return LoadUser(command) && LoadDatabase();
}

bool LogImportModel::LoadUser(const StartupCommand& command) {
    UserInterface& ui = session_.ui;
    SystemLocations& locations = session_.locations;

    ui.SetStartupStatus("Reading Local Settings...");
    if (!ReadInstallationSettings(locations, session_.audiowall, ui, session_.dialogs,
                                  session_.clock, command))
        return CloseDuringLoad();
    session_.trace.level = locations.TraceLevel;
    if (locations.DataLocation.empty()) {
        (void)session_.dialogs.EditFileLocations(locations, session_.audiowall, ui);
        if (locations.DataLocation.empty()) return CloseDuringLoad();
    }

    ui.SetStartupStatus("Reading Locale Specific Settings...");
    if (!LocateSystemIniFile(locations)) return CloseDuringLoad();

    LoadSettings(session_.importSettings, locations);
    settingsLoaded_ = true;
    // The run's other settings files, each named once when it is there but cannot be read.
    for (const std::string& file :
         {locations.SystemIniFile, ImportSettingsFile(locations), std::string("brixel.ini")}) {
        WarnOfUnreadableSettingsFile(file);
    }

    if (!session_.users.OpenUsersDatabase(*UsersDatabaseStore(locations)).Ok()) {
        ShowWarning(ui,
                    "The Users Database could not be opened, so the adverts could not be "
                    "scheduled");
        return CloseDuringLoad();
    }

    ImportSettings& settings = session_.importSettings;
    if (settings.UsersMustLogin == -1) {
        const MessageResult answer = AskQuestion(
            ui, "Do you want users to have to Login to the Log Importer before using it?",
            MessageButtons::YesNo, MessageResult::Yes);
        settings.UsersMustLogin = answer == MessageResult::Yes ? 1 : 0;
    }
    LoginSession& login = session_.login;
    if (settings.UsersMustLogin != 0) {
        if (Logon(login, session_.users, locations, ui, session_.dialogs) == LogonOutcome::NobodyLoggedIn)
            return CloseDuringLoad();
        if (!login.currentUser.HasRight(kRightUseImporter)) {
            ShowError(ui, "You do not have the correct access rights to use the Log Importer");
            return CloseDuringLoad();
        }
    } else {
        login.currentUser =
            MakeUnlistedUser(UserName(), "No Users in Database", locations.DataLocation);
        login.loggedIn = true;
    }
    return true;
}

bool LogImportModel::LoadDatabase() {
    UserInterface& ui = session_.ui;
    if (!StartupDatabase()) return CloseDuringLoad();

    ui.SetStartupStatus("Reading Last Scheduled Information...");
    DisplayLastScheduled(true);

    ui.SetStartupStatus("Reading Database Information...");
    DatabaseInfo info;
    if (!ReadDatabaseInfo(ui, session_.PlayoutStore(), databaseFile_, info, true).Ok())
        return CloseDuringLoad();

    ScanLogFiles();
    caption_ = "Vantor Log Import : " + info.Description;
    // Workstations of one station may work on files or on the server: the caption says which
    // server this one imports into.
    if (const std::string server = DatabaseServerShown(session_.locations); !server.empty())
        caption_ += " - " + server;

    if (!StartupAudiowall()) return CloseDuringLoad();
    ui.SetStartupStatus("");
    return true;
}

bool LogImportModel::StartupDatabase() {
    UserInterface& ui = session_.ui;
    const SystemLocations& locations = session_.locations;
    if (!locations.CommandLine.database.empty()) {
        // A database named on the command line is taken as it is: no chooser, no validation.
        databaseFile_ = locations.CommandLine.database;
        return true;
    }
    ui.SetStartupStatus("Choosing Kora Database...");
    const std::string searchDirectory = JoinPath(locations.DataLocation, "SCHEDULE");
    std::string chosen =
        session_.dialogs.ChooseDatabase(searchDirectory, std::to_string(kKoraV26DatabaseType));
    if (chosen.empty()) return false;
    databaseFile_ = chosen;
    ui.SetStartupStatus("Validating Database...");
    // A database whose tables could not be brought up to date would fail at its first import
    // or removal; the check has said why, and start-up ends as on any other failure.
    return VerifyPlayoutDatabase(ui, session_.PlayoutStore(), databaseFile_).Ok();
}

bool LogImportModel::StartupAudiowall() {
    UserInterface& ui = session_.ui;
    ui.SetStartupStatus("Opening Audiowall...");
    if (OpenAudiowall(session_.audiowall, ui, 0, false) == AudiowallOpening::Opened) return true;
    (void)session_.dialogs.EditFileLocations(session_.locations, session_.audiowall, ui);
    if (OpenAudiowall(session_.audiowall, ui, 0, false) == AudiowallOpening::Opened) return true;
    ShowWarning(ui, "You must set the File and Audio locations");
    return false;
}

ImportRunResult LogImportModel::AutoStart() {
    ImportRunResult result;
    if (!AutoRequested()) return result;
    // A re-send cut off part-way left hours removed that no proposed range brings back.
    if (std::optional<RangeStamps> pending = PendingReSend(session_.PlayoutStore(), databaseFile_))
        result = ResumeReSend(*pending);
    else
        result = ImportFields();
    if (QuitRequested()) Close();
    return result;
}

}  // namespace vantor

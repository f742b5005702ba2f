#include "headless/headless_run.h"

#include <chrono>
#include <iostream>

#include "common/clock.h"
#include "common/whole_file.h"
#include "headless/account_commands.h"
#include "headless/create_database.h"
#include "headless/database_server_commands.h"
#include "headless/import_windows_databases.h"
#include "headless/file_locations_setup.h"
#include "headless/headless_user_interface.h"
#include "importer/exit_status.h"
#include "importer/import_preview.h"
#include "importer/main_window_model.h"
#include "importer/run_record.h"
#include "session/session.h"

namespace vantor {

namespace {

int StatusOf(MaintenanceOutcome outcome) {
    switch (outcome) {
        case MaintenanceOutcome::Stopped:
            return exit_status::kStopped;
        case MaintenanceOutcome::Failed:
            return exit_status::kWorkFailed;
        case MaintenanceOutcome::Done:
            break;
    }
    return exit_status::kDone;
}

// Types a text into an hour field key by key, through the field's key filter.
std::string TypedHour(const std::string& text) {
    std::string typed;
    for (unsigned char c : text)
        if (LogImportModel::FilterHourKey(c) != 0 && c >= '0' && c <= '9') typed += char(c);
    return typed;
}

void TypeRangeFields(LogImportModel& window, const LaunchOptions& options) {
    if (options.startDate) {
        window.SetStartDateText(*options.startDate);
        window.StartDateLostFocus();
    }
    if (options.startHour) {
        window.SetStartHourText(TypedHour(*options.startHour));
        window.StartHourLostFocus();
    }
    if (options.endDate) {
        window.SetEndDateText(*options.endDate);
        window.EndDateLostFocus();
    }
    if (options.endHour) {
        window.SetEndHourText(TypedHour(*options.endHour));
        window.EndHourLostFocus();
    }
}

// A control the range has disabled cannot be pressed, unattended or not.
bool Pressable(HeadlessUserInterface& ui, bool enabled, const std::string& control) {
    if (enabled) return true;
    ShowError(ui, "\"" + control + "\" is disabled: the range fields do not hold a usable range");
    return false;
}

// The preview is printed on standard output: all of it, as text or as one JSON document.
int PrintPreview(LogImportModel& window, const LaunchOptions& options) {
    PreviewRunResult result = window.PreviewImport();
    switch (result.outcome) {
        case PreviewRunOutcome::Stopped:
            return exit_status::kStopped;
        case PreviewRunOutcome::Abandoned:
            return exit_status::kWorkFailed;
        case PreviewRunOutcome::Previewed:
            break;
    }
    std::cout << (options.JsonPreview() ? PreviewJson(result.preview)
                                        : PreviewText(result.preview));
    std::cout.flush();
    return result.preview.NeedsAttention() ? exit_status::kDoneWithReport : exit_status::kDone;
}

int RunMenuAction(LogImportModel& window, HeadlessUserInterface& ui, MenuAction action,
                  const LaunchOptions& options, RunRecord& record) {
    switch (action) {
        case MenuAction::Scan:
            window.ScanLogFiles();
            return exit_status::kDone;
        case MenuAction::RemoveRange:
            if (!Pressable(ui, window.RemoveRangeEnabled(),
                           "&Remove Entries for the Date and Time range given below"))
                return exit_status::kStopped;
            return StatusOf(window.RemoveRange());
        case MenuAction::ReSend: {
            if (!Pressable(ui, window.ReSendEnabled(),
                           "Remove and then re-&send the Date and Time range below"))
                return exit_status::kStopped;
            ReSendResult result = window.ReSend();
            record.Keep(result.import);
            if (result.removal != MaintenanceOutcome::Done) return StatusOf(result.removal);
            return ExitStatusOf(result.import);
        }
        case MenuAction::Preview:
            if (!Pressable(ui, window.PreviewEnabled(),
                           "&Preview the import of the Date and Time range below"))
                return exit_status::kStopped;
            return PrintPreview(window, options);
        case MenuAction::RemoveAll:
            if (!Pressable(ui, window.RemoveAllEnabled(), "Remove &ALL the Entries from the log"))
                return exit_status::kStopped;
            return StatusOf(window.RemoveAll());
        case MenuAction::EmptySongs:
            return StatusOf(window.EmptySongLibrary());
    }
    return exit_status::kDone;
}

bool Failed(int status) {
    return status != exit_status::kDone && status != exit_status::kDoneWithReport;
}

// The run's work; what its import did goes into the record.
int RunHeadlessWork(const LaunchOptions& options, RunRecord& record) {
    // A JSON preview owns standard output: one document that a script can read whole.
    std::ostream& out = options.JsonPreview() ? std::cerr : std::cout;
    HeadlessUserInterface ui(out, std::cerr);
    SystemClock clock;
    Session session(ui, ui, clock);
    LogImportModel window(session);

    if (options.ManagesAccounts()) return RunAccountCommand(session, options);
    if (options.databaseServer) return SetUpDatabaseServer(session, options);
    if (options.copyToServer) {
        if (!window.LoadUser(options.command)) return exit_status::kStartupEnded;
        int status = CopyDatabaseToServer(session, *options.copyToServer);
        window.Close();
        return status;
    }
    if (options.SetsFileLocations()) {
        int status = SetUpFileLocations(session, options);
        if (status != exit_status::kDone || !options.createDatabase) return status;
    }
    if (!options.windowsDatabases.empty()) {
        if (!window.LoadUser(options.command)) return exit_status::kStartupEnded;
        int status = ImportWindowsDatabases(session, options.windowsDatabases, options.replace, out);
        window.Close();
        return status;
    }
    if (options.createDatabase) {
        if (!window.LoadUser(options.command)) return exit_status::kStartupEnded;
        int status = CreateKoraDatabase(session, *options.createDatabase, options.description);
        window.Close();
        return status;
    }

    if (!window.Load(options.command)) return exit_status::kStartupEnded;
    record.database = window.DatabasePath();

    TypeRangeFields(window, options);
    const RangeFields& fields = window.Fields();
    out << "start: " << fields.startDate << " " << fields.startHour << "\n"
        << "end: " << fields.endDate << " " << fields.endHour << "\n";
    out.flush();

    int status = exit_status::kDone;
    for (MenuAction action : options.menuActions) {
        ui.SetAnswerYes(options.answerYes);
        status = RunMenuAction(window, ui, action, options, record);
        ui.SetAnswerYes(false);
        if (Failed(status)) {
            window.Close();
            return status;
        }
    }

    // "/AUTO" starts the import as its button would, whatever state the range fields left the
    // button in: a range that is not valid is refused by the import's own checks.
    if (window.AutoRequested()) {
        ImportRunResult run = window.AutoStart();
        record.Keep(run);
        status = ExitStatusOf(run);
    }
    // Nobody is left to close the window: the run ends here with or without "/QUIT".
    window.Close();
    return WithProblemReports(status, ui.ProblemReportsShown());
}

// Replaces one of the run's files for monitoring; a file that cannot be written is told on
// standard error, and the run's status says that a problem was shown.
int WriteForMonitoring(const std::optional<std::string>& path, const std::string& what,
                       const std::string& contents, int status) {
    if (!path) return status;
    WholeFileWrite written = ReplaceWholeFile(*path, contents);
    if (written.Ok()) return status;
    std::cerr << "error: the " << what << " could not be written to " << *path << ": "
              << written.failure << "\n";
    return WithProblemReports(status, 1);
}

}  // namespace

int RunHeadless(const LaunchOptions& options) {
    RunRecord record;
    record.start = std::chrono::system_clock::now();
    int status = RunHeadlessWork(options, record);
    record.end = std::chrono::system_clock::now();
    record.exitStatus = status;
    status = WriteForMonitoring(options.runRecord, "run record", RunRecordJson(record), status);
    return WriteForMonitoring(options.metricsFile, "metrics file", RunMetricsText(record), status);
}

}  // namespace vantor

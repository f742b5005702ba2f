#include "headless/headless_run.h"

#include <iostream>

#include "common/clock.h"
#include "common/general.h"
#include "headless/create_database.h"
#include "headless/exit_status.h"
#include "headless/file_locations_setup.h"
#include "headless/headless_user_interface.h"
#include "importer/main_window_model.h"
#include "session/session.h"

namespace vantor {

namespace {

int StatusOf(const ImportRunResult& run) {
    switch (run.outcome) {
        case ImportRunOutcome::Stopped:
            return exit_status::kStopped;
        case ImportRunOutcome::Abandoned:
            return exit_status::kWorkFailed;
        case ImportRunOutcome::Imported:
            break;
    }
    return run.errorReportShown ? exit_status::kDoneWithReport : exit_status::kDone;
}

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

// The station's switches as one line; "--user=NAME" joins them as the "/USER=" it stands for,
// at the end so that the first word (the database) stays first.
std::string CommandLineOf(const LaunchOptions& options) {
    std::string line;
    for (const std::string& argument : options.stationArguments) {
        if (!line.empty()) line += ' ';
        line += argument;
    }
    if (options.user) line += " /USER=" + *options.user;
    return line;
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

int RunMenuAction(LogImportModel& window, HeadlessUserInterface& ui, MenuAction action) {
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
            if (result.removal != MaintenanceOutcome::Done) return StatusOf(result.removal);
            return StatusOf(result.import);
        }
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

}  // namespace

int RunHeadless(const LaunchOptions& options) {
    HeadlessUserInterface ui(std::cout, std::cerr);
    SystemClock clock;
    Session session(ui, ui, clock);
    LogImportModel window(session);
    window.SetAutoOptions(options.autoImport, options.quit);

    if (options.SetsFileLocations()) {
        int status = SetUpFileLocations(session, CommandLineOf(options), options);
        if (status != exit_status::kDone || !options.createDatabase) return status;
    }
    if (options.createDatabase) {
        if (!window.LoadUser(CommandLineOf(options))) return exit_status::kStartupEnded;
        int status =
            CreateKoraDatabase(session, *options.createDatabase, options.description.value_or(""));
        window.Close();
        return status;
    }

    if (!window.Load(CommandLineOf(options))) return exit_status::kStartupEnded;

    TypeRangeFields(window, options);
    const RangeFields& fields = window.Fields();
    std::cout << "start: " << fields.startDate << " " << fields.startHour << "\n"
              << "end: " << fields.endDate << " " << fields.endHour << "\n";
    std::cout.flush();

    int status = exit_status::kDone;
    for (MenuAction action : options.menuActions) {
        ui.SetAnswerYes(options.answerYes);
        status = RunMenuAction(window, ui, action);
        ui.SetAnswerYes(false);
        if (Failed(status)) {
            window.Close();
            return status;
        }
    }

    if (window.AutoRequested()) {
        if (!Pressable(ui, window.ScheduleEnabled(), "Begin Importing")) {
            window.Close();
            return exit_status::kStopped;
        }
        status = StatusOf(window.AutoStart());
    }
    // Nobody is left to close the window: the run ends here with or without "/QUIT".
    window.Close();
    return status;
}

}  // namespace vantor

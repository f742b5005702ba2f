#include "importer/import_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "audiowall/audiowall_store.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/text.h"
#include "dbengine/database_file.h"
#include "dbengine/database_store.h"
#include "dbengine/engine.h"
#include "importer/hour_import.h"
#include "importer/import_range.h"
#include "importer/import_settings.h"
#include "importer/start_times.h"
#include "playoutdb/log_maintenance.h"
#include "playoutdb/playout_settings.h"
#include "session/session.h"

namespace vantor {

namespace {

// Day number of 1 January 2000: nothing older can be in a playout log.
constexpr int32_t kFirstLogDay = 36526;
// Every hour of every weekday.
const std::string kEveryHour(168, 'Y');

bool DeleteFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::remove(ResolvePath(path), ec) && !ec;
}

// The ten cart range keys, in the order they are stored.
struct CartRangeKey {
    const char* key;
    int32_t CartRanges::*bound;
};
constexpr CartRangeKey kCartRangeKeys[] = {
    {"MUSIC.JinglesStart", &CartRanges::JinglesStart},
    {"MUSIC.JinglesEnd", &CartRanges::JinglesEnd},
    {"MUSIC.SweepersStart", &CartRanges::SweepersStart},
    {"MUSIC.SweepersEnd", &CartRanges::SweepersEnd},
    {"MUSIC.AdvertsStart", &CartRanges::AdvertsStart},
    {"MUSIC.AdvertsEnd", &CartRanges::AdvertsEnd},
    {"MUSIC.SongsStart", &CartRanges::SongsStart},
    {"MUSIC.SongsEnd", &CartRanges::SongsEnd},
    {"MUSIC.CartGroupsStart", &CartRanges::CartGroupsStart},
    {"MUSIC.CartGroupsEnd", &CartRanges::CartGroupsEnd},
};

void StoreCartRanges(Session& session, Database& db) {
    TableCursor settings;
    if (DbError error = db.OpenTable("Settings", settings, "Main"); !error.Ok()) {
        ProblemReport(session.ui, "opening the Kora settings table", error);
        return;
    }
    for (const CartRangeKey& range : kCartRangeKeys) {
        const int32_t value = session.importSettings.Ranges.*range.bound;
        // Each key that cannot be stored is reported by the store; the import itself does
        // not depend on the ranges the playout programs read.
        static_cast<void>(
            SetDbSetting(session.ui, settings, range.key, DbValue(value), DbValue(0), false));
    }
    settings.Close();
}

// The lines of a report file (each ends with a line feed). -1 when it cannot be read.
long long LinesIn(const std::string& path) {
    std::ifstream in(ResolvePath(path), std::ios::binary);
    if (!in) return -1;
    return std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n');
}

void ShowPlainMessage(UserInterface& ui, const std::string& text) {
    MessageRequest request;
    request.text = text;
    ui.ShowMessage(request);
}

}  // namespace

bool OpenDatabaseForRun(Session& session, const DatabaseStore& store, const std::string& name,
                        DatabaseAccess access, Database& db, DbSettings& settings) {
    UserInterface& ui = session.ui;
    // The checks run under the hourglass; what they refuse is said once the pointer is back.
    std::string refusal;
    DbError openError;
    bool unreadableSettings = false;
    {
        HourglassGuard hourglass(ui);
        // A server that went away since start-up (or whose support cannot be loaded) knows of
        // no database: said as "select a valid database" it would send a person to the
        // chooser instead of to the server, so its own reason is reported first.
        if (store.OnServer()) openError = store.Prepare();
        if (!openError.Ok()) {
        } else if (!store.Exists(name)) {
            refusal = "You must select a valid Kora Database";
        } else {
            openError = access == DatabaseAccess::ReadOnly ? store.OpenReadOnly(name, db)
                                                           : store.Open(name, db);
            if (openError.Ok()) {
                // Settings that could not be read are partly defaults: an import with them
                // would name, find and place the logs by values the station never chose. The
                // read has reported why. (Settings never saved from the editor are the
                // defaults on purpose and are used.)
                if (!ReadDbSettings(ui, db, settings, session.locations.DataLocation).Ok()) {
                    db.Close();
                    unreadableSettings = true;
                } else if (!DirectoryExists(settings.MUSIC_LogPath, &session.trace)) {
                    db.Close();
                    refusal = "You must select a valid Logs Directory in Kora Settings";
                }
            }
        }
    }
    if (!openError.Ok()) {
        // Saying nothing here would leave a scheduled run with no trace of why nothing was
        // imported.
        ProblemReport(ui, "opening the Kora Database " + store.Address(name), openError);
        return false;
    }
    if (unreadableSettings) return false;
    if (!refusal.empty()) {
        ShowInformation(ui, refusal);
        return false;
    }
    return true;
}

void ShowFreshImportProgress(UserInterface& ui) {
    ui.SetImportProgressText(ImportProgressLabel::OverallProcess, "");
    ui.SetImportProgressText(ImportProgressLabel::CurrentProcess, "");
    ui.SetImportProgressText(ImportProgressLabel::CurrentTask, "");
    ui.SetImportProgressValue(ImportProgressBar::OverallProcess, 0, 100);
    ui.SetImportProgressValue(ImportProgressBar::CurrentProcess, 0, 100);
    ui.ShowImportProgress(true);
}

std::string RangeText(const DayTime& start, const DayTime& end) {
    return DayTimeLongText(start, 14) + " to " + DayTimeLongText(end, 14);
}

ImportRunResult RunImport(Session& session, const RangeFields& fields, const DatabaseStore& store,
                          const std::string& name) {
    UserInterface& ui = session.ui;
    const Clock& clock = session.clock;
    ImportRunResult result;

    std::optional<RangeStamps> range = CheckRange(fields, ui, session.ThisYear());
    if (!range) return result;
    const DayTime start = range->start;
    const DayTime end = range->end;

    const std::string rangeText = RangeText(start, end);
    // What the reports call the database: its path, or its name on the server.
    const std::string databasePath = store.Address(name);

    Database db;
    DbSettings settings;
    if (!OpenDatabaseForRun(session, store, name, DatabaseAccess::ReadWrite, db, settings)) {
        return result;
    }

    ShowFreshImportProgress(ui);
    HourglassGuard hourglass(ui);

    const std::string errorLog = session.ErrorLogPath();
    const std::string historyLog = session.HistoryLogPath();
    if (FileLength(errorLog) >= 0 && !DeleteFile(errorLog))
        AppendLogLine(historyLog, true, "Couldn't delete old Error Log", clock);
    if (FileLength(historyLog) >= kHistoryLogLimit && !DeleteFile(historyLog))
        AppendLogLine(historyLog, true, "Couldn't delete Log File", clock);
    AppendLogLine(historyLog, true, "Begin send new entries, " + rangeText, clock);

    const int32_t purgeDays = session.importSettings.AutoPurgeDatabaseDays;
    const bool tracing = session.locations.TraceLevel != 0;
    if (purgeDays > 0) {
        if (tracing) ShowPlainMessage(ui, "Beginning Auto-Purge of old Kora entries");
        const DayTime purgeStart{kFirstLogDay, 0.0f};
        const DayTime purgeEnd{clock.Today() - purgeDays - 1, kDayLastSecond};
        AppendLogLine(historyLog, true,
                      "Purging older entries from Kora Database, Log Start = " +
                          DayTimeLongText(purgeStart, 14) +
                          ", Log End = " + DayTimeLongText(purgeEnd, 14),
                      clock);
        RemoveLogHours(store, name, purgeStart, purgeEnd, kEveryHour, ui);
        if (tracing) ShowPlainMessage(ui, "Purging old Kora entries complete");
    }

    if (tracing) ShowPlainMessage(ui, "Importing Log Entries");
    AppendLogLine(historyLog, true, "Importing log into KORA Database " + databasePath, clock);

    HourImportContext context{
        ui,
        clock,
        session.audiowall,
        session.importSettings,
        SchedulerLogNamingOf(settings),
        StartTimeOptionsOf(settings),
        errorLog,
    };
    result.record.start = start;
    result.record.end = end;
    result.record.database = databasePath;
    result.record.underrunningDuration = session.importSettings.UnderrunningDuration;
    context.record = &result.record;
    const bool imported = ImportHours(db, start, end, context);

    if (imported) {
        StoreCartRanges(session, db);
        ui.SetImportProgressText(ImportProgressLabel::CurrentTask, "Closing Database");
        ui.SetImportProgressText(ImportProgressLabel::CurrentProcess, "");
        ui.SetImportProgressText(ImportProgressLabel::OverallProcess, "Finishing");
        ui.SetImportProgressValue(ImportProgressBar::OverallProcess, 100, 100);
        ui.SetImportProgressValue(ImportProgressBar::CurrentProcess, 100, 100);
    } else {
        AppendLogLine(errorLog, true, "Importing log was abandoned", clock);
    }
    db.Close();
    ui.ShowImportProgress(false);

    session.users.AddEventToUserHistory(session.login.currentUser.LoginName, kImportHistoryAction,
                                        imported ? 1 : 2, rangeText);

    result.outcome = imported ? ImportRunOutcome::Imported : ImportRunOutcome::Abandoned;

    // The outcome is shown with the arrow; the pointer is as it was once this returns.
    HourglassGuard arrow(ui, MouseCursor::Default);

    if (FileLength(errorLog) > 0) {
        ui.ShowTextFile("Print Preview", ResolvePath(errorLog));
        result.errorReportShown = true;
        result.errorReportHoldsProblem = LinesIn(errorLog) != context.hoursNotResent;
    } else {
        ShowInformation(ui, "The log was successfully imported into the Kora database");
    }
    return result;
}

}  // namespace vantor

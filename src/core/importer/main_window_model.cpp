#include "importer/main_window_model.h"

#include <cmath>
#include <cstdio>

#include "audiowall/audiowall_store.h"
#include "common/character_class.h"
#include "common/date_hour_picker_model.h"
#include "common/files.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "common/text.h"
#include "config/startup.h"
#include "importer/import_range.h"
#include "importer/import_settings.h"
#include "importer/pending_resend.h"
#include "session/dialogs.h"
#include "session/session.h"
#include "dbengine/database_file.h"
#include "playoutdb/log_table.h"
#include "playoutdb/log_maintenance.h"
#include "dbengine/schema.h"
#include "playoutdb/playout_tables.h"
#include "users/login_model.h"

namespace vantor {

namespace {

const std::string kEveryHour(168, 'Y');

std::string TwoDigits(long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02ld", value);
    return text;
}

bool Confirmed(UserInterface& ui, const std::string& question) {
    return AskQuestion(ui, question, MessageButtons::YesNo, MessageResult::No) ==
           MessageResult::Yes;
}

}  // namespace

LogImportModel::LogImportModel(Session& session) : session_(session) {}

LogImportModel::~LogImportModel() = default;

std::string LogImportModel::DatabasePath() const {
    return session_.PlayoutStore().Address(databaseFile_);
}

bool LogImportModel::AutoRequested() const {
    return session_.locations.CommandLine.autoImport;
}

bool LogImportModel::QuitRequested() const {
    return session_.locations.CommandLine.quit;
}

void LogImportModel::Close() {
    if (closed_) return;
    closed_ = true;
    CloseAudiowall(session_.audiowall);
    // Settings that were never read are not written: that would put the defaults over the
    // stored ones (or, without a data location, into the root directory).
    if (settingsLoaded_) SaveSettings(session_.importSettings, session_.locations);
}

// ---------------------------------------------------------------------------------------------
// The end of the schedules and the range fields

void LogImportModel::SetDateField(std::string& field, std::string& dayLabel,
                                  const std::string& text) {
    field = text;
    if (std::optional<std::string> weekday = WeekdayText(text, session_.ThisYear()))
        dayLabel = *weekday;
}

void LogImportModel::SetStartDateText(const std::string& text) {
    SetDateField(fields_.startDate, startDay_, text);
}

void LogImportModel::SetEndDateText(const std::string& text) {
    SetDateField(fields_.endDate, endDay_, text);
}

void LogImportModel::SetRange(int32_t day) {
    SetStartDateText(RangeDateText(day));
    fields_.startHour = "00";
    SetEndDateText(RangeDateText(day));
    fields_.endHour = "23";
}

void LogImportModel::DisplayLastScheduled(bool bAlterDates) {
    vantor::LastScheduled last;
    if (!databaseFile_.empty()) last = LastScheduledHour(session_.PlayoutStore(), databaseFile_);
    if (!last.text.empty()) {
        lastScheduled_ = last.end;
        if (bAlterDates) SetRange(session_.clock.Today() + 1);
        scheduledUntil_ = FormatDate(lastScheduled_.day, "dddddd") + " " +
                          TwoDigits(SaturatedInt32(lastScheduled_.seconds / 3600)) + ":59";
    } else {
        lastScheduled_ = {0, 0.0f};
        if (bAlterDates) SetRange(session_.clock.Today());
        scheduledUntil_ = kNoSchedules;
    }
    UpdateButton();
}

void LogImportModel::StartDateLostFocus() {
    const int year = session_.ThisYear();
    if (std::optional<int32_t> day = DayOfDateText(fields_.startDate, year))
        SetStartDateText(RangeDateText(*day));
    StartChanged();
}

void LogImportModel::EndDateLostFocus() {
    const int year = session_.ThisYear();
    if (std::optional<int32_t> day = DayOfDateText(fields_.endDate, year))
        SetEndDateText(RangeDateText(*day));
    EndChanged();
}

int LogImportModel::FilterHourKey(int keyCode) {
    if (keyCode == kKeyBackspace || keyCode == kKeyEscape) return keyCode;
    return keyCode >= '0' && keyCode <= '9' ? keyCode : 0;
}

void LogImportModel::StartChanged() {
    RangeFields before = fields_;
    OrderAfterStartChanged(fields_, session_.ThisYear());
    if (fields_.endDate != before.endDate) SetEndDateText(fields_.endDate);
    UpdateButton();
}

void LogImportModel::EndChanged() {
    RangeFields before = fields_;
    OrderAfterEndChanged(fields_, session_.ThisYear());
    if (fields_.startDate != before.startDate) SetStartDateText(fields_.startDate);
    UpdateButton();
}

void LogImportModel::UpdateButton() {
    const bool usable = RangeIsUsable(fields_, session_.ThisYear());
    scheduleEnabled_ = reSendEnabled_ = previewEnabled_ = removeRangeEnabled_ =
        removeAllEnabled_ = usable;
}

std::string LogImportModel::PickerTag(bool start) const {
    const std::string& date = start ? fields_.startDate : fields_.endDate;
    const std::string& hour = start ? fields_.startHour : fields_.endHour;
    std::optional<int32_t> day = DayOfDateText(date, session_.ThisYear());
    return IntText(day ? *day : lastScheduled_.day) + IntText(SaturatedInt64(LeadingNumber(hour)));
}

void LogImportModel::ApplyPickerTag(bool start, const std::string& tag) {
    if (LeadingNumber(tag) <= 0) return;
    const auto day = SaturatedInt32(LeadingNumber(LeftOf(tag, 5)));
    const std::string hour = TwoDigits(SaturatedInt32(LeadingNumber(MidOf(tag, 6, 2))));
    if (start) {
        SetStartDateText(RangeDateText(day));
        fields_.startHour = hour;
        StartChanged();
    } else {
        SetEndDateText(RangeDateText(day));
        fields_.endHour = hour;
        EndChanged();
    }
}

// ---------------------------------------------------------------------------------------------
// Button and menus

ImportRunResult LogImportModel::ImportFields() {
    const bool wasEnabled = scheduleEnabled_;
    scheduleEnabled_ = false;
    NotifyChanged();
    ImportRunResult result = RunImport(session_, fields_, session_.PlayoutStore(), databaseFile_);
    scheduleEnabled_ = wasEnabled;
    // After a run the end of the schedules has moved and the range starts after it.
    if (result.Ran()) DisplayLastScheduled(true);
    NotifyChanged();
    return result;
}

ImportRunResult LogImportModel::BeginImporting() {
    return ImportFields();
}

MaintenanceOutcome LogImportModel::RemoveRange() {
    return RemoveFieldsRange(false);
}

MaintenanceOutcome LogImportModel::RemoveFieldsRange(bool recordReSend) {
    UserInterface& ui = session_.ui;
    std::optional<RangeStamps> range = CheckRange(fields_, ui, session_.ThisYear());
    if (!range) return MaintenanceOutcome::Stopped;
    const DatabaseStore& store = session_.PlayoutStore();
    if (!store.Exists(databaseFile_)) {
        // Without a database there is nothing to remove; say so rather than do nothing.
        ShowInformation(ui, "You must select a valid Kora Database");
        return MaintenanceOutcome::Stopped;
    }
    const std::string question =
        "Are you sure you want to remove all the entries in the Kora Database\nbetween " +
        DayTimeLongText(range->start, 14) + " and " + DayTimeLongText(range->end, 14);
    if (!Confirmed(ui, question)) return MaintenanceOutcome::Stopped;
    if (recordReSend && !RecordPendingReSend(ui, store, databaseFile_, &*range))
        return MaintenanceOutcome::Failed;
    MaintenanceOutcome outcome = MaintenanceOutcome::Failed;
    if (RemoveLogHours(store, databaseFile_, range->start, range->end, kEveryHour, ui)) {
        ShowInformation(ui, "The entries were removed from the Kora Database");
        outcome = MaintenanceOutcome::Done;
    }
    DisplayLastScheduled(false);
    return outcome;
}

ReSendResult LogImportModel::ReSend() {
    ReSendResult result;
    result.removal = RemoveFieldsRange(true);
    if (result.removal == MaintenanceOutcome::Done) result.import = ImportReSent();
    return result;
}

ImportRunResult LogImportModel::ImportReSent() {
    ImportRunResult result = ImportFields();
    // An import that was stopped or abandoned leaves the record: the next "/AUTO" tries again.
    // A record that cannot be cleared (reported) has the next "/AUTO" re-send the range once
    // more, which changes nothing; the run still counts as one with a problem.
    if (result.outcome == ImportRunOutcome::Imported &&
        !RecordPendingReSend(session_.ui, session_.PlayoutStore(), databaseFile_, nullptr)) {
        result.errorReportHoldsProblem = true;
    }
    return result;
}

ImportRunResult LogImportModel::ResumeReSend(const RangeStamps& range) {
    UserInterface& ui = session_.ui;
    SetStartDateText(RangeDateText(range.start.day));
    fields_.startHour = TwoDigits(SaturatedInt32(range.start.seconds / 3600));
    SetEndDateText(RangeDateText(range.end.day));
    fields_.endHour = TwoDigits(SaturatedInt32(range.end.seconds / 3600));
    NotifyChanged();
    AppendLogLine(session_.HistoryLogPath(), true,
                  "Completing an interrupted re-send, " + RangeText(range.start, range.end),
                  session_.clock);
    ImportRunResult result;
    if (!RemoveLogHours(session_.PlayoutStore(), databaseFile_, range.start, range.end, kEveryHour,
                        ui)) {
        result.outcome = ImportRunOutcome::Abandoned;
        DisplayLastScheduled(false);
        return result;
    }
    return ImportReSent();
}

PreviewRunResult LogImportModel::PreviewImport() {
    return vantor::PreviewImport(session_, fields_, session_.PlayoutStore(), databaseFile_);
}

PreviewRunResult LogImportModel::ShowPreview() {
    PreviewRunResult result = PreviewImport();
    if (result.outcome == PreviewRunOutcome::Previewed) {
        session_.ui.ShowText("Import Preview", PreviewText(result.preview));
    }
    return result;
}

MaintenanceOutcome LogImportModel::RemoveAll() {
    UserInterface& ui = session_.ui;
    if (!Confirmed(ui, "Are you sure you want to remove ALL the entries from the log?") ||
        !Confirmed(ui, "Are you REALLY sure you want to remove ALL the entries from the log?"))
        return MaintenanceOutcome::Stopped;
    MaintenanceOutcome outcome = MaintenanceOutcome::Failed;
    if (RemoveAllLogEntries(session_.PlayoutStore(), databaseFile_, ui)) {
        ShowInformation(ui, "ALL entries were removed from the Kora Database");
        outcome = MaintenanceOutcome::Done;
    }
    DisplayLastScheduled(false);
    return outcome;
}

MaintenanceOutcome LogImportModel::EmptySongLibrary() {
    UserInterface& ui = session_.ui;
    if (!Confirmed(ui,
                   "Are you sure you want to remove ALL of the Song Information from the "
                   "Song Library?") ||
        !Confirmed(ui,
                   "Are you REALLY sure you want to remove ALL of the Song Information "
                   "from the Song Library?"))
        return MaintenanceOutcome::Stopped;
    if (!EmptySongs(session_.PlayoutStore(), databaseFile_, ui)) return MaintenanceOutcome::Failed;
    ShowInformation(ui,
                    "ALL song information was removed from the Song Library in the Kora Database");
    return MaintenanceOutcome::Done;
}

void LogImportModel::ScanLogFiles() {
    ProposeImportRange(session_, databaseFile_, lastScheduled_, fields_);
    // The fields were written as text: their weekday labels follow.
    SetStartDateText(fields_.startDate);
    SetEndDateText(fields_.endDate);
}

void LogImportModel::FileLocations() {
    (void)session_.dialogs.EditFileLocations(session_.locations, session_.audiowall, session_.ui);
    // A part that cannot be connected has said so itself; the import connects again when it
    // needs a cart from it.
    static_cast<void>(OpenAudiowall(session_.audiowall, session_.ui, 0, false));
    NotifyChanged();
}

void LogImportModel::UpdateInformation() {
    HourglassGuard hourglass(session_.ui);
    // Unlike the other viewers, the update notes hold the main window until they are closed.
    session_.ui.ShowTextFileModal("Update Information", ProgramFile("Updates.txt"));
}

void LogImportModel::OpenImportSettings() {
    session_.dialogs.ShowImportSettings();
}

void LogImportModel::OpenDatabaseSettings() {
    session_.dialogs.EditPlayoutSettings(DatabasePath());
    // Saved or not, the settings are read again: another workstation may have changed them
    // meanwhile, and the range the logs offer depends on them.
    ScanLogFiles();
    DisplayLastScheduled(false);
}

void LogImportModel::PickRange(bool start) {
    DateHourPickerModel picker(session_.clock);
    picker.tag = PickerTag(start);
    // A range runs from the start of its first hour to the end of its last.
    picker.minutesText = start ? "00" : "59";
    session_.dialogs.RunDateHourPicker(picker);
    ApplyPickerTag(start, picker.tag);
    NotifyChanged();
}

}  // namespace vantor

#pragma once
// The model of the main window, frmLogImport: the program's start-up, the end of the
// schedules in the playout log, the date and hour range the import works on, and the
// operations of its button and menus. The Qt window and the unattended run both drive it.

#include <functional>
#include <string>

#include "common/day_time.h"
#include "config/command_line.h"
#include "importer/import_preview.h"
#include "importer/import_run.h"
#include "importer/range_fields.h"
#include "common/window_model.h"

namespace vantor {

class Session;

// How a range removal, an emptying or a re-send ended.
enum class [[nodiscard]] MaintenanceOutcome {
    Stopped,  // a range check, a missing database or a "No" answer stopped it
    Failed,   // the removal itself failed (reported by the routine)
    Done,
};

struct [[nodiscard]] ReSendResult {
    MaintenanceOutcome removal = MaintenanceOutcome::Stopped;
    ImportRunResult import;  // the run after a removal that was done
};

class LogImportModel : public WindowModel {
  public:
    static constexpr const char* kInitialCaption = "Import a Log into Kora";
    static constexpr const char* kNoSchedules = "No Schedules Created";

    explicit LogImportModel(Session& session);
    ~LogImportModel();
    LogImportModel(const LogImportModel&) = delete;
    LogImportModel& operator=(const LogImportModel&) = delete;

    // Start-up (defined in main_window_startup.cpp), every step up to and without the "/AUTO"
    // step, as the start-up command asks. False when the window closed (the program ends); the
    // closing steps have run then.
    bool Load(const StartupCommand& command);
    // The two halves of Load: the installation, the settings, the users database and the
    // login (steps a database may be created after), then the playout database, the range
    // and the Audiowall.
    bool LoadUser(const StartupCommand& command);
    bool LoadDatabase();

    // The last start-up step: with "/AUTO" in the start-up command, an import as if "Begin
    // Importing" had been pressed; with "/QUIT" as well, the window closes afterwards.
    bool AutoRequested() const;
    bool QuitRequested() const;
    // Runs the "/AUTO" step; returns the run's result (Stopped when "/AUTO" was not asked for).
    ImportRunResult AutoStart();

    // ---- State
    const std::string& Caption() const { return caption_; }
    const std::string& DatabaseFile() const { return databaseFile_; }
    std::string DatabasePath() const;
    const DayTime& LastScheduled() const { return lastScheduled_; }
    const std::string& ScheduledUntilText() const { return scheduledUntil_; }  // lblScheduledUntil
    const RangeFields& Fields() const { return fields_; }
    const std::string& StartDayText() const { return startDay_; }    // lblASStartDay
    const std::string& EndDayText() const { return endDay_; }        // lblASEndDay
    bool ScheduleEnabled() const { return scheduleEnabled_; }        // cmdSchedule
    bool ReSendEnabled() const { return reSendEnabled_; }            // mnuReSendLog
    bool PreviewEnabled() const { return previewEnabled_; }          // mnuPreviewImport
    bool RemoveRangeEnabled() const { return removeRangeEnabled_; }  // mnuRemoveRange
    bool RemoveAllEnabled() const { return removeAllEnabled_; }      // mnuRemoveAll
    bool IsClosed() const { return closed_; }

    // ---- Range fields
    // A change of a date field's text shows the weekday of a valid date beside it.
    void SetStartDateText(const std::string& text);
    void SetEndDateText(const std::string& text);
    void SetStartHourText(const std::string& text) { fields_.startHour = text; }
    void SetEndHourText(const std::string& text) { fields_.endHour = text; }
    // Leaving a date field rewrites a valid date as "dd mmmm yyyy"; leaving any field keeps the
    // range ordered.
    void StartDateLostFocus();
    void EndDateLostFocus();
    void StartHourLostFocus() { StartChanged(); }
    void EndHourLostFocus() { EndChanged(); }
    // The hour fields take digits, backspace and escape only; a swallowed key comes back 0.
    static int FilterHourKey(int keyCode);
    void StartChanged();
    void EndChanged();
    void UpdateButton();
    // Refreshes the end of the schedules and, with bAlterDates, resets the range fields.
    void DisplayLastScheduled(bool bAlterDates);
    // The date and hour picker's protocol: its tag before it is shown, and what its tag
    // afterwards does to the start or end fields.
    std::string PickerTag(bool start) const;
    void ApplyPickerTag(bool start, const std::string& tag);
    // cmdASStart, cmdASEnd: the picker on the start or end of the range, whose answer then
    // replaces that end's date and hour.
    void PickRange(bool start);

    // ---- Button and menus
    ImportRunResult BeginImporting();       // cmdSchedule
    MaintenanceOutcome RemoveRange();       // mnuRemoveRange (and the first half of re-send)
    ReSendResult ReSend();                  // mnuReSendLog
    // A preview of the import of the range the fields hold: nothing is written. The menu item
    // (mnuPreviewImport) shows it in the text viewer; the unattended run prints it.
    PreviewRunResult PreviewImport();
    PreviewRunResult ShowPreview();
    MaintenanceOutcome RemoveAll();         // mnuRemoveAll
    MaintenanceOutcome EmptySongLibrary();  // mnuSongsEmptyLibrary
    void ScanLogFiles();                    // mnuScanLogFiles
    void FileLocations();                   // mnuFileLocations
    void OpenImportSettings();              // mnuOptions
    void OpenDatabaseSettings();            // mnuDatabaseSettings
    void UpdateInformation();               // mnuUpdateInfo
    // Closing, by any way: the Audiowall is closed and the import settings stored.
    void Close();

  private:
    // An import on the range the fields hold; the button is disabled while it runs.
    ImportRunResult ImportFields();
    // The removal of the range the fields hold, recorded first as a re-send when asked.
    MaintenanceOutcome RemoveFieldsRange(bool recordReSend);
    // The import half of a re-send; the record of the re-send is cleared once it has run.
    ImportRunResult ImportReSent();
    // Does a re-send that was recorded and not finished again, whole, without asking again.
    ImportRunResult ResumeReSend(const RangeStamps& range);
    bool CloseDuringLoad();
    bool StartupDatabase();
    bool StartupAudiowall();
    void SetDateField(std::string& field, std::string& dayLabel, const std::string& text);
    void SetRange(int32_t day);

    Session& session_;
    std::string caption_ = kInitialCaption;
    std::string databaseFile_;
    DayTime lastScheduled_{0, 0.0f};
    std::string scheduledUntil_;
    RangeFields fields_{"", "00", "", "23"};
    std::string startDay_, endDay_;
    bool scheduleEnabled_ = true;
    bool reSendEnabled_ = true;
    bool previewEnabled_ = true;
    bool removeRangeEnabled_ = true;
    bool removeAllEnabled_ = true;
    bool settingsLoaded_ = false;
    bool closed_ = false;
};

}  // namespace vantor

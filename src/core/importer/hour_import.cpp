#include "importer/hour_import.h"

#include <cmath>

#include "audiowall/audiowall_store.h"
#include "common/clock.h"
#include "common/general.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/problem_report.h"
#include "common/text.h"
#include "common/time_text.h"
#include "common/user_interface.h"
#include "importer/break_note.h"
#include "importer/log_entry_builder.h"
#include "playoutdb/log_table.h"
#include "playoutdb/playout_settings.h"
#include "dbengine/engine.h"
#include "dbengine/row_edit.h"

namespace vantor {

std::string FillItemEntry(const SchedulerItem& item, const CartRanges& ranges, bool softDeleteSongs,
                          ImportEntry& entry) {
    entry.HDReference = item.cartNumber;
    entry.EntryStatus = 2;
    entry.Description1 = item.title;
    entry.Description2 = item.description2;
    entry.Description3 = item.description3;
    entry.Notes = item.notes;

    const double cart = LeadingNumber(item.cartNumber);
    auto within = [cart](int32_t first, int32_t last) { return cart >= first && cart <= last; };
    std::string progress;
    if (within(ranges.JinglesStart, ranges.JinglesEnd)) {
        progress = "Adding Jingle";
        entry.EntryType = TypeCode(EntryType::Link);
    } else if (within(ranges.SweepersStart, ranges.SweepersEnd)) {
        progress = "Adding Sweeper";
        entry.EntryType = TypeCode(EntryType::Link);
        entry.ScheduledEndType = kEndTypeSweeper;
    } else if (within(ranges.AdvertsStart, ranges.AdvertsEnd)) {
        progress = "Adding Advert";
        entry.EntryType = TypeCode(EntryType::Advert);
    } else if (within(ranges.CartGroupsStart, ranges.CartGroupsEnd)) {
        // A cart group is resolved by the playout from its number within the range; it names
        // no cart of the Audiowall.
        progress = "Adding Split Cart Group";
        entry.EntryType = TypeCode(EntryType::SplGroup);
        entry.Information1 = static_cast<float>(cart - ranges.CartGroupsStart + 1);
        entry.HDReference = "";
    } else if (within(ranges.SongsStart, ranges.SongsEnd)) {
        progress = "Adding Song";
        entry.EntryType = TypeCode(EntryType::Song);
        if (softDeleteSongs) entry.EntryStatus |= 4;
    } else {
        progress = "Adding Cart";
        entry.EntryType = TypeCode(EntryType::Cart);
    }

    if (item.endingCode == "E") {
        entry.EndingType = 1;
    } else if (item.endingCode == "F") {
        entry.EndingType = 2;
    }

    // A sweeper always overlaps what follows, whatever the scheduler put in column 80.
    if (entry.ScheduledEndType != kEndTypeSweeper) {
        const std::string& code = item.endCode;
        if (code == "@" || code == "X" || code == "N") {
            entry.ScheduledEndType = 50;
        } else if (code == "#") {
            entry.ScheduledEndType = 50;
            entry.EntryFlags |= 1;
        } else if (code == "-" || code == "Y") {
            entry.ScheduledEndType = 0;
        } else if (code == "+") {
            entry.ScheduledEndType = 0;
            entry.EntryFlags |= 1;
        }
    }
    return progress;
}

bool FinishHour(TableCursor& log, const DayTime& hourStamp, int32_t hourMode, bool hourFlag) {
    if (log.Seek(SeekOp::Equal, HourStartQIndex(hourStamp)) || log.NoMatch()) return false;
    int32_t flags = static_cast<int32_t>(log.Field(LogEntry::EntryFlags).AsInteger()) | 1;
    if (hourFlag) {
        flags |= static_cast<int32_t>(0xFFFF8000u);
    } else {
        flags &= 0x00007FFF;
    }
    RowEdit row(log, RowEdit::Start::Edit);
    row.Set(LogEntry::Information1, static_cast<float>(hourMode)).Set(LogEntry::EntryFlags, flags);
    return row.Store().Ok();
}

namespace {

std::string HourText(int hour) {
    return std::to_string(hour);
}

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

// The import progress window. Every label change hands control to pending window events so
// that the text is drawn before the next line is processed.
class ImportProgress {
  public:
    explicit ImportProgress(UserInterface& ui) : ui_(ui) {}
    void Overall(const std::string& text) { Label(ImportProgressLabel::OverallProcess, text); }
    void Process(const std::string& text) { Label(ImportProgressLabel::CurrentProcess, text); }
    void Task(const std::string& text) { Label(ImportProgressLabel::CurrentTask, text); }
    void OverallBar(double percent) { Bar(ImportProgressBar::OverallProcess, percent); }
    void ProcessBar(double percent) { Bar(ImportProgressBar::CurrentProcess, percent); }

  private:
    void Label(ImportProgressLabel label, const std::string& text) {
        ui_.SetImportProgressText(label, text);
        ui_.ProcessEvents();
    }
    void Bar(ImportProgressBar bar, double percent) {
        int value = Clamp(static_cast<int32_t>(percent), 0, 100);
        ui_.SetImportProgressValue(bar, value, 100);
    }
    UserInterface& ui_;
};

// One day's walk: the day file being read forward and the state carried from hour to hour.
class DayImport {
  public:
    DayImport(Database& db, TableCursor& log, HourImportContext& context,
              SchedulerLogReader& reader, ImportProgress& progress)
        : db_(db),
          log_(log),
          context_(context),
          reader_(reader),
          progress_(progress),
          target_{log, context.audiowall, context.ui, context.clock, context.errorLogPath},
          thisYear_(YearOf(context.clock.Now())) {}

    void Hour(const DayTime& hourStamp);

  private:
    void Report(const std::string& text) {
        AppendLogLine(context_.errorLogPath, true, text, context_.clock);
    }
    bool SeekToHour(const DayTime& hourStamp);
    void ImportHourLines(const DayTime& hourStamp, double q, bool insertAfter);
    bool ReadHourLines(const DayTime& hourStamp, double& q);
    void UpdateHourTimes(const DayTime& hourStamp);
    void StartTimesFailed(const std::string& hourName, const DbError& error);

    Database& db_;
    TableCursor& log_;
    HourImportContext& context_;
    SchedulerLogReader& reader_;
    ImportProgress& progress_;
    EntryTarget target_;
    int thisYear_;
    DayTime header_{0, 0};
    std::string headerText_;
    HourState hour_;
    ImportEntry entry_;
};

void DayImport::Hour(const DayTime& hourStamp) {
    const int hour = static_cast<int>(hourStamp.seconds / 3600);
    const std::string hourName = DayTimeLongText(hourStamp, 4);
    progress_.Process("");
    progress_.Task("Finding " + HourText(hour) + ":00 in the Kora Log");

    double q = HourStartQIndex(hourStamp);
    bool import = true;
    bool insertAfter = false;
    if (!log_.Seek(SeekOp::Equal, q) && !log_.NoMatch() &&
        log_.Field(LogEntry::EntryType).AsInteger() == TypeCode(EntryType::HourStart)) {
        if ((log_.Field(LogEntry::EntryFlags).AsInteger() & 1) != 0) {
            Report("The following hour was already in Kora so was not re-sent : " + hourName);
            import = false;
        } else {
            Report(
                "The following hour was already in Kora but without songs, so the log was "
                "inserted after them: " +
                hourName);
            insertAfter = true;
            if (!log_.Seek(SeekOp::Less, HourEndQIndex(hourStamp)) && !log_.NoMatch()) {
                q = log_.Field(LogEntry::QIndex).AsDouble() + QIndexStep;
            } else {
                q += QIndexStep;
            }
        }
    }

    if (import && SeekToHour(hourStamp)) ImportHourLines(hourStamp, q, insertAfter);
    UpdateHourTimes(hourStamp);
}

// Reads forward to the hour's header. False when the file holds no header for the hour (the
// search stops at the first header at or after it, or at one that cannot be read).
bool DayImport::SeekToHour(const DayTime& hourStamp) {
    progress_.Task("Finding " + HourText(static_cast<int>(hourStamp.seconds / 3600)) +
                   ":00 in the Music Log");
    while (!reader_.AtEnd() && DayTimeBefore(header_, hourStamp)) {
        std::string line = reader_.ReadLine();
        if (KindOfLine(line) != LogLineKind::HourHeader) continue;
        if (!ReadHourHeader(reader_, line, header_, headerText_, context_.ui, thisYear_)) {
            header_ = DayTime{0, 0};
            break;
        }
    }
    progress_.ProcessBar(reader_.PercentRead());
    return DayTimeEqual(header_, hourStamp);
}

void DayImport::ImportHourLines(const DayTime& hourStamp, double q, bool insertAfter) {
    const std::string hourName = DayTimeLongText(hourStamp, 4);
    progress_.Task("");
    progress_.Process("Importing into " + FormatTimeText(hourStamp.seconds, 4));

    // Everything of the hour is stored together or not at all: the playout must never see
    // half an hour.
    Transaction transaction(db_);
    if (const DbError& e = transaction.BeginError()) {
        ProblemReport(context_.ui, "starting to import the hour " + hourName, e);
        return;
    }

    ClearEntry(entry_);
    entry_.EntryType = TypeCode(EntryType::HourStart);
    entry_.EntryStatus = 2;
    entry_.ReferenceStartTime = hourStamp.seconds;
    entry_.ItemReference = headerText_;
    entry_.Description1 = headerText_;
    entry_.Information1 = 1;
    entry_.Information2 = 0;
    hour_ = HourState{};

    // Every early return below leaves the hour to the transaction guard, which rolls it back.
    progress_.Task("Adding Hour Start");
    if (!insertAfter && !AddLogEntry(target_, q, hourStamp, entry_, hour_.HourMode)) {
        Report("Couldn't add the Hour Start for " + hourName);
        return;
    }

    if (!ReadHourLines(hourStamp, q)) {
        Report("There was a problem adding an entry to the hour for " + hourName + " to the log");
        return;
    }
    if (!FinishHour(log_, hourStamp, hour_.HourMode, hour_.HourFlag) ||
        !transaction.Commit().Ok()) {
        Report("There was a problem finishing off the hour for " + hourName + " to the log");
    }
}

// Adds the entries of the hour's lines, up to the next header or the end of the file. False as
// soon as one entry cannot be added; reading then stops where it is.
bool DayImport::ReadHourLines(const DayTime& hourStamp, double& q) {
    while (!reader_.AtEnd()) {
        std::string line = reader_.ReadLine();
        ClearEntry(entry_);
        bool added = true;
        switch (KindOfLine(line)) {
            case LogLineKind::HourHeader:
                if (!ReadHourHeader(reader_, line, header_, headerText_, context_.ui, thisYear_)) {
                    header_ = DayTime{0, 0};
                }
                return true;
            case LogLineKind::Comment:
            case LogLineKind::Other:
                continue;
            case LogLineKind::BreakNote:
                progress_.Task("Processing Break Note");
                if (!ParseBreakNote(hourStamp, line, entry_, hour_, context_.ui)) continue;
                added = AddLogEntry(target_, q, hourStamp, entry_, hour_.HourMode);
                break;
            case LogLineKind::ItemWithContinuations:
            case LogLineKind::Item: {
                progress_.Task("Adding Song/Jingle");
                SchedulerItem item = CutItemLine(line);
                ReadItemContinuations(reader_, item);
                progress_.Task(
                    FillItemEntry(item, context_.settings.Ranges, hour_.bSoftDeleteSongs, entry_));
                added = AddLogEntry(target_, q, hourStamp, entry_, hour_.HourMode);
                break;
            }
        }
        if (!added) return false;
        q += QIndexStep;
        progress_.ProcessBar(reader_.PercentRead());
    }
    return true;
}

void DayImport::UpdateHourTimes(const DayTime& hourStamp) {
    const double hourStart = HourStartQIndex(hourStamp);
    if (log_.Seek(SeekOp::Equal, hourStart) || log_.NoMatch()) return;
    progress_.Task(" Updating Start Times in Kora Log");
    // One short transaction for the hour's edits: one disk flush instead of one per entry.
    // When it cannot be had or kept, the hour's start times are not in the log: the hour is
    // reported as failed, like an hour whose entries could not be stored.
    const std::string hourName = DayTimeLongText(hourStamp, 4);
    Transaction transaction(db_);
    if (const DbError& e = transaction.BeginError()) {
        StartTimesFailed(hourName, e);
        return;
    }
    float length =
        UpdateStartTimes(log_, hourStart, hourStamp, context_.audiowall, context_.timing);
    if (DbError e = transaction.Commit()) {
        StartTimesFailed(hourName, e);
        return;
    }
    if (!(length >= context_.settings.UnderrunningDuration)) {
        AppendLogLine(context_.errorLogPath, true,
                      "The following hour is only " + FormatTimeText(length, 2) +
                          " minutes long, so may underrun: " + DayTimeLongText(hourStamp, 4),
                      context_.clock);
    }
}

void DayImport::StartTimesFailed(const std::string& hourName, const DbError& error) {
    Report("There was a problem updating the start times of the hour for " + hourName +
           " in the log");
    ProblemReport(context_.ui, "updating the start times of the hour " + hourName, error);
}

}  // namespace

bool ImportHours(Database& database, const DayTime& start, const DayTime& end,
                 HourImportContext& context) {
    if (!database.IsOpen()) return false;
    UserInterface& ui = context.ui;
    HourglassGuard hourglass(ui);
    ImportProgress progress(ui);
    progress.OverallBar(0);
    progress.Task("Opening Log");
    progress.Process("");
    progress.Overall("Sending Music Logs");

    TableCursor log;
    if (DbError e = OpenLogTable(database, log)) {
        ProblemReport(ui, "opening the Kora Log", e);
        return false;
    }

    const int days = end.day - start.day + 1;
    for (int32_t day = start.day; day <= end.day; ++day) {
        const int dayIndex = day - start.day;
        const int firstHour = day == start.day ? static_cast<int>(start.seconds / 3600) : 0;
        const int lastHour = day == end.day ? static_cast<int>(end.seconds / 3600) : 23;
        const int hours = lastHour - firstHour + 1;
        const std::string dayName = LongDateText(static_cast<OleDate>(day));
        progress.Overall("Sending Music Log for " + dayName);
        progress.OverallBar(100.0 * dayIndex / days);

        const std::string path = LogFileName(day, context.logFiles);
        SchedulerLogReader reader(path);
        if (FileLength(path) <= 0 || !reader.IsOpen()) {
            ShowInformation(ui,
                            "The log file : " + path + " for " + dayName + " could not be found.");
            continue;
        }
        progress.Process("Opening Log for " + TwoDigits(firstHour) + ":00");
        DayImport dayImport(database, log, context, reader, progress);
        for (int hour = firstHour; hour <= lastHour; ++hour) {
            progress.OverallBar((static_cast<double>(dayIndex) / days +
                                 static_cast<double>(hour - firstHour) / hours / days) *
                                100);
            dayImport.Hour(DayTime{day, static_cast<float>(hour * 3600)});
        }
        progress.Task(" Closing Log File");
    }

    progress.Task("Closing Kora Log");
    progress.Process("Tidying Up");
    progress.Overall(" Completed Pushing Song Logs");
    progress.OverallBar(100);
    progress.ProcessBar(100);
    PauseWithEvents(ui, context.clock, 0.5);
    log.Close();
    RecordMusicSent(ui, database, "", context.clock.Now());
    return true;
}

}  // namespace vantor

#include "importer/hour_import.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "audiowall/audiowall_store.h"
#include "common/clock.h"
#include "common/codepage.h"
#include "common/files.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/ole_date.h"
#include "common/pause.h"
#include "common/problem_report.h"
#include "common/report_file.h"
#include "common/text.h"
#include "common/time_text.h"
#include "common/user_interface.h"
#include "dbengine/engine.h"
#include "dbengine/row_edit.h"
#include "importer/break_note.h"
#include "importer/import_preview.h"
#include "importer/log_entry_builder.h"
#include "importer/lost_hours.h"
#include "playoutdb/log_table.h"
#include "playoutdb/playout_settings.h"

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

bool MayUnderrun(float length, const ImportSettings& settings) {
    return !(length >= settings.UnderrunningDuration);
}

int32_t ImportedHourFlags(int32_t flags, bool hourFlag) {
    flags |= 1;
    if (hourFlag) {
        flags |= static_cast<int32_t>(0xFFFF8000u);
    } else {
        flags &= 0x00007FFF;
    }
    return flags;
}

bool FinishHour(TableCursor& log, const DayTime& hourStamp, int32_t hourMode, bool hourFlag) {
    if (!log.Seek(SeekOp::Equal, HourStartQIndex(hourStamp)).Ok() || log.NoMatch()) return false;
    const int32_t flags = ImportedHourFlags(
        static_cast<int32_t>(log.Field(LogEntry::EntryFlags).AsInteger()), hourFlag);
    if (!log.Edit().Ok()) return false;
    if (!log.Set(LogEntry::Information1, static_cast<float>(hourMode)).Ok() ||
        !log.Set(LogEntry::EntryFlags, flags).Ok() || !log.Update().Ok()) {
        log.CancelUpdate();
        return false;
    }
    return true;
}

namespace {

// The channel a playout engine listens on for hours coming into a Log; the payload names the
// database's schema.
constexpr std::string_view kLogChannel = "vantor_log";

std::string HourText(int hour) {
    return std::to_string(hour);
}

// The hour of a stamp's seconds, within the day whatever the stamp holds (a typed hour is any
// number of digits).
int HourOfDay(float seconds) {
    const float hour = std::floor(seconds / 3600);
    if (!(hour > 0)) return 0;
    return hour < 23 ? static_cast<int>(hour) : 23;
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
    // fileDay is the day the file was opened for, or -1 when one file serves every day.
    // reported: the lines of the error report, copied as they are written, when the run keeps
    // a record (context.record).
    DayImport(Database& db, TableCursor& log, HourImportContext& context, ReportFile& errorReport,
              SchedulerLogReader& reader, ImportProgress& progress, int32_t fileDay,
              std::vector<std::string>* reported)
        : db_(db),
          log_(log),
          context_(context),
          errorReport_(errorReport),
          reader_(reader),
          progress_(progress),
          reported_(reported),
          target_{log, context.audiowall, context.ui, context.clock, errorReport},
          thisYear_(YearOf(context.clock.Now())),
          fileDay_(fileDay) {}

    void Hour(const DayTime& hourStamp);
    const LostHours& Lost() const { return lost_; }
    // The database could no longer be reached: every later hour would fail the same way, so
    // the run stops at the hour that found it out.
    bool Stopped() const { return stopped_; }

  private:
    // An entry of a fresh hour, held until the hour is timed.
    struct HeldEntry {
        ImportEntry entry;
        PreparedEntry prepared;
    };

    void Report(const std::string& text) { errorReport_.Append(true, text, context_.clock); }
    DbError CountHourRows(const DayTime& hourStamp, int64_t& count) {
        return CountLogRows(db_, HourStartQIndex(hourStamp), HourEndQIndex(hourStamp), count);
    }
    bool SeekToHour(const DayTime& hourStamp);
    bool NotFound(const DayTime& hourStamp);
    bool ReadHeader(std::string& line);
    bool IsFreshHour(const DayTime& hourStamp);
    std::optional<float> ImportHourLines(const DayTime& hourStamp, double q, bool insertAfter);
    // The hour just read ran into the end of a file whose last line has no line end: its last
    // entry may be cut and entries after it missing.
    bool HourCutShort() const { return !hourEndedAtHeader_ && reader_.CutShort(); }
    void StartHourEntry(const DayTime& hourStamp);
    bool ReadHourLines(const DayTime& hourStamp, double& q, bool held);
    bool AddEntry(const DayTime& hourStamp, double& q, bool held);
    std::optional<float> WriteHeldHour(const DayTime& hourStamp);
    StartTimesResult TimeHourInTable(const DayTime& hourStamp);
    void UpdateHourTimes(const DayTime& hourStamp);
    void ReportUnderrun(const DayTime& hourStamp, float length);
    void StartTimesFailed(const std::string& hourName, const DbError& error);
    bool DatabaseGone(const std::string& hourName);

    // The preview of an hour: what the import would do with it, written nowhere.
    bool SeesTable(const DayTime& hourStamp) const {
        return hourStamp.day > context_.previewPurgedThroughDay;
    }
    void PreviewHour(const DayTime& hourStamp, bool import, bool insertAfter, double q);
    void PreviewHourLines(const DayTime& hourStamp, double q, bool insertAfter,
                          vantor::PreviewHour& hour);
    void PreviewTableHour(const DayTime& hourStamp, vantor::PreviewHour& hour);
    void PreviewFailed(vantor::PreviewHour& hour, size_t shownBefore, const std::string& reason);
    // The hour's new rows (held_ from firstNew on) as entries of its description, placed among
    // the hour's timed rows (timed_, in key order).
    void DescribeNewEntries(vantor::PreviewHour& hour, size_t firstNew);
    // The run's record of an hour the import has settled, in the preview's terms.
    void RecordHour(const DayTime& hourStamp, PreviewHourStatus status, bool insertAfter, bool lost,
                    size_t reportedBefore);

    Database& db_;
    TableCursor& log_;
    HourImportContext& context_;
    ReportFile& errorReport_;
    SchedulerLogReader& reader_;
    ImportProgress& progress_;
    std::vector<std::string>* reported_;
    EntryTarget target_;
    int thisYear_;
    int32_t fileDay_;
    DayTime header_{0, 0};
    std::string headerText_;
    HourState hour_;
    bool hourEndedAtHeader_ = false;  // the last hour's lines ended at the next header
    ImportEntry entry_;
    SchedulerItem item_;  // the item line being read; its texts keep their storage
    LostHours lost_;
    std::vector<HeldEntry> held_;  // the fresh hour being read, its hour start first
    size_t heldCount_ = 0;         // entries of held_ in use (the rest keep their storage)
    size_t rowsAdded_ = 0;         // rows the hour being imported adds to the table
    std::vector<TimedRow> timed_;
    bool stopped_ = false;
};

void DayImport::Hour(const DayTime& hourStamp) {
    const int hour = static_cast<int>(hourStamp.seconds / 3600);
    const std::string hourName = DayTimeLongText(hourStamp, 4);
    const size_t reportedBefore = reported_ ? reported_->size() : 0;
    progress_.Process("");
    progress_.Task("Finding " + HourText(hour) + ":00 in the Kora Log");

    double q = HourStartQIndex(hourStamp);
    bool import = true;
    bool insertAfter = false;
    if (SeesTable(hourStamp) && log_.Seek(SeekOp::Equal, q).Ok() && !log_.NoMatch() &&
        log_.Field(LogEntry::EntryType).AsInteger() == TypeCode(EntryType::HourStart)) {
        if ((log_.Field(LogEntry::EntryFlags).AsInteger() & 1) != 0) {
            Report("The following hour was already in Kora so was not re-sent : " + hourName);
            if (!context_.preview) ++context_.hoursNotResent;
            import = false;
        } else {
            Report(
                "The following hour was already in Kora but without songs, so the log was "
                "inserted after them: " +
                hourName);
            insertAfter = true;
            if (log_.Seek(SeekOp::Less, HourEndQIndex(hourStamp)).Ok() && !log_.NoMatch()) {
                q = log_.Field(LogEntry::QIndex).AsDouble() + QIndexStep;
            } else {
                q += QIndexStep;
            }
        }
    }

    if (context_.preview) {
        PreviewHour(hourStamp, import, insertAfter, q);
        return;
    }

    std::optional<float> length;
    PreviewHourStatus status = PreviewHourStatus::AlreadyInLog;
    bool lost = false;
    if (import) {
        if (SeekToHour(hourStamp)) {
            length = ImportHourLines(hourStamp, q, insertAfter);
            status = length ? PreviewHourStatus::New : PreviewHourStatus::Failed;
            if (!length && DatabaseGone(hourName)) {
                if (context_.record) RecordHour(hourStamp, status, insertAfter, lost, reportedBefore);
                return;
            }
        } else {
            lost = NotFound(hourStamp);
            status = PreviewHourStatus::NotInSchedulerFile;
        }
    }
    if (length) {
        ReportUnderrun(hourStamp, *length);
    } else {
        UpdateHourTimes(hourStamp);
    }
    if (context_.record) RecordHour(hourStamp, status, insertAfter, lost, reportedBefore);
}

// Asked after an hour failed: whether the database itself went away (a server's connection
// lost, a share gone). The hour's transaction went with it; the report names the hour and why.
bool DayImport::DatabaseGone(const std::string& hourName) {
    QueryResult probe;
    const DbError e = db_.Query("SELECT 1", std::span<const DbValue>{}, probe);
    if (e.Ok() || e.number != err::kDiskOrNetworkError) return false;
    Report("The Kora database could no longer be reached while importing the hour " + hourName +
           ", so the import was stopped: " + e.description);
    stopped_ = true;
    return true;
}

// Reads forward to the hour's header. False when the file holds no header for the hour (the
// search stops at the first header at or after it, or at one that cannot be read).
bool DayImport::SeekToHour(const DayTime& hourStamp) {
    progress_.Task("Finding " + HourText(static_cast<int>(hourStamp.seconds / 3600)) +
                   ":00 in the Music Log");
    while (!reader_.AtEnd() && DayTimeBefore(header_, hourStamp)) {
        const std::string_view line = reader_.NextLine();
        if (KindOfLine(line) != LogLineKind::HourHeader) continue;
        std::string header(line);
        if (!ReadHeader(header)) break;
    }
    progress_.ProcessBar(reader_.PercentRead());
    return DayTimeEqual(header_, hourStamp);
}

// An hour whose header the search did not find: lost when the file gave a reason (see
// LostHours), which a file cut short gives for every hour after the point it was cut.
bool DayImport::NotFound(const DayTime& hourStamp) {
    if (reader_.CutShort()) lost_.CutShort();
    return lost_.NotFound(hourStamp, reader_.AtEnd());
}

// Reads an hour header into the current header; an unreadable one leaves {0, 0}. Either way
// the lost-hours record hears of it.
bool DayImport::ReadHeader(std::string& line) {
    const int64_t lineNumber = reader_.LinesRead();
    const std::string lineText = context_.preview ? Cp1252ToUtf8(Trim(line)) : std::string();
    bool readable = ReadHourHeader(reader_, line, header_, headerText_, context_.ui, thisYear_);
    if (readable && fileDay_ >= 0 && header_.day != fileDay_) {
        // A day's file holds that day's hours only: a header dated elsewhere (a slip in the
        // scheduler, a damaged year) would stand before or after every hour of the day and
        // hide the hours that follow it from the search. Its date is not usable here.
        ProblemReport(context_.ui, "reading the date from the Music Log");
        readable = false;
    }
    if (!readable) {
        // The import says only that a date or a time could not be read; the preview names the
        // line, so that it can be mended in the scheduler.
        if (context_.preview) {
            context_.previewMessages->push_back("Line " + std::to_string(lineNumber) +
                                                " of the file is an hour header that could not "
                                                "be read: " +
                                                lineText);
        }
        header_ = DayTime{0, 0};
        lost_.UnreadableHeader();
        return false;
    }
    lost_.ReadableHeader(header_);
    return true;
}

// Whether the hour has no rows in the Log table at all, so that the walk over the table after
// writing it would see exactly the rows written: no hour start, and after its key nothing but
// the start of a later hour or the end of the table.
bool DayImport::IsFreshHour(const DayTime& hourStamp) {
    if (!context_.freshHoursInMemory) return false;
    const double hourStart = HourStartQIndex(hourStamp);
    if (!log_.Seek(SeekOp::Greater, hourStart - QIndexStep / 2).Ok()) return false;
    if (log_.NoMatch()) return true;
    return log_.Field(LogEntry::EntryType).AsInteger() == TypeCode(EntryType::HourStart) &&
           log_.Field(LogEntry::QIndex).AsDouble() > HourEndQIndex(hourStamp);
}

// Imports the hour in its own transaction, timed before it is committed: a reader sees the
// hour whole with its final start times, or not at all. Returns the hour's length when the
// hour was committed.
std::optional<float> DayImport::ImportHourLines(const DayTime& hourStamp, double q,
                                                bool insertAfter) {
    const std::string hourName = DayTimeLongText(hourStamp, 4);
    progress_.Task("");
    progress_.Process("Importing into " + FormatTimeText(hourStamp.seconds, 4));

    Transaction transaction(db_);
    if (const DbError& e = transaction.BeginError(); !e.Ok()) {
        // Another program holds the write lock past the busy timeout: the hour is not in the
        // log, and only the report can tell the station which hours to send again.
        ProblemReport(context_.ui, "starting to import the hour " + hourName, e);
        Report("The following hour could not be written to Kora and was lost : " + hourName +
               " - " + e.description);
        return std::nullopt;
    }
    // Looked at inside the transaction, so that nothing can be added to the hour meanwhile.
    const bool held = !insertAfter && IsFreshHour(hourStamp);
    heldCount_ = 0;
    // The hour's rows before and, just before the commit, after: a trigger or a rule of the
    // database that throws away what is written would otherwise leave an hour that the
    // report calls imported and the log does not hold.
    int64_t rowsBefore = 0;
    rowsAdded_ = 0;
    if (DbError e = CountHourRows(hourStamp, rowsBefore); !e.Ok()) {
        ProblemReport(context_.ui, "starting to import the hour " + hourName, e);
        return std::nullopt;
    }
    StartHourEntry(hourStamp);

    // Every early return below leaves the hour to the transaction guard, which rolls it back.
    progress_.Task("Adding Hour Start");
    if (!insertAfter && !AddEntry(hourStamp, q, held)) {
        Report("Couldn't add the Hour Start for " + hourName);
        return std::nullopt;
    }

    if (!ReadHourLines(hourStamp, q, held)) {
        Report("There was a problem adding an entry to the hour for " + hourName + " to the log");
        return std::nullopt;
    }
    if (HourCutShort()) {
        // Rolled back: once the scheduler has written the file whole, the next run imports the
        // hour whole. It is reported as lost with the hours after it.
        NotFound(hourStamp);
        return std::nullopt;
    }
    std::optional<float> length;
    if (held) {
        length = WriteHeldHour(hourStamp);
        if (!length) {
            Report("There was a problem adding an entry to the hour for " + hourName +
                   " to the log");
            return std::nullopt;
        }
    } else {
        if (!FinishHour(log_, hourStamp, hour_.HourMode, hour_.HourFlag)) {
            Report("There was a problem finishing off the hour for " + hourName + " to the log");
            return std::nullopt;
        }
        // Timed before the commit: the hour becomes visible with its start times or not at all.
        StartTimesResult timing = TimeHourInTable(hourStamp);
        if (!timing.error.Ok()) {
            StartTimesFailed(hourName, timing.error);
            return std::nullopt;
        }
        length = timing.total;
    }
    int64_t rowsAfter = 0;
    if (DbError e = CountHourRows(hourStamp, rowsAfter); !e.Ok()) {
        ProblemReport(context_.ui, "checking the hour " + hourName + " in the log", e);
        return std::nullopt;
    }
    if (rowsAfter != rowsBefore + static_cast<int64_t>(rowsAdded_)) {
        Report("The hour for " + hourName + " was not kept in the log: of the " +
               std::to_string(rowsAdded_) + " entries written to it, the log holds " +
               std::to_string(std::max<int64_t>(rowsAfter - rowsBefore, 0)));
        return std::nullopt;
    }
    // A playout engine on a database server hears of the hour when it commits, not before.
    if (!db_.Notify(kLogChannel).Ok() || !transaction.Commit().Ok()) {
        Report("There was a problem finishing off the hour for " + hourName + " to the log");
        return std::nullopt;
    }
    return length;
}

// The hour start of the hour about to be read, in entry_, and the hour's state afresh.
void DayImport::StartHourEntry(const DayTime& hourStamp) {
    ClearEntry(entry_);
    entry_.EntryType = TypeCode(EntryType::HourStart);
    entry_.EntryStatus = 2;
    entry_.ReferenceStartTime = hourStamp.seconds;
    entry_.ItemReference = headerText_;
    entry_.Description1 = headerText_;
    entry_.Information1 = 1;
    entry_.Information2 = 0;
    hour_ = HourState{};
}

// Adds one entry: straight into the table, or held in memory for a fresh hour. Either way
// held_ keeps it, so that the hour's new rows can be described once the hour is settled.
bool DayImport::AddEntry(const DayTime& hourStamp, double& q, bool held) {
    if (heldCount_ == held_.size()) held_.emplace_back();
    HeldEntry& slot = held_[heldCount_];
    if (!PrepareLogEntry(target_, q, hourStamp, entry_, hour_.HourMode, slot.prepared)) {
        return false;
    }
    if (!held && !WriteLogEntry(target_, entry_, slot.prepared)) return false;
    std::swap(slot.entry, entry_);  // entry_ is cleared before its next use
    ++heldCount_;
    ++rowsAdded_;  // a held row is written with the others once the hour is timed
    q += QIndexStep;
    return true;
}

// Adds the entries of the hour's lines, up to the next header or the end of the file. False as
// soon as one entry cannot be added; reading then stops where it is.
bool DayImport::ReadHourLines(const DayTime& hourStamp, double& q, bool held) {
    hourEndedAtHeader_ = false;
    while (!reader_.AtEnd()) {
        // A view into the reader: used up before anything else is read.
        const std::string_view line = reader_.NextLine();
        ClearEntry(entry_);
        bool added = true;
        switch (KindOfLine(line)) {
            case LogLineKind::HourHeader: {
                std::string header(line);
                ReadHeader(header);
                hourEndedAtHeader_ = true;
                return true;
            }
            case LogLineKind::Comment:
            case LogLineKind::Other:
                continue;
            case LogLineKind::BreakNote:
                progress_.Task("Processing Break Note");
                if (!ParseBreakNote(hourStamp, line, entry_, hour_, context_.ui)) continue;
                added = AddEntry(hourStamp, q, held);
                break;
            case LogLineKind::ItemWithContinuations:
            case LogLineKind::Item: {
                progress_.Task("Adding Song/Jingle");
                CutItemLine(line, item_);
                ReadItemContinuations(reader_, item_);
                progress_.Task(
                    FillItemEntry(item_, context_.settings.Ranges, hour_.bSoftDeleteSongs, entry_));
                added = AddEntry(hourStamp, q, held);
                break;
            }
        }
        if (!added) return false;
        q += QIndexStep;
        progress_.ProcessBar(reader_.PercentRead());
    }
    return true;
}

// Times the held hour and writes each of its rows once, with its final start time and length,
// the hour start with the hour's total and its imported mark. The length, or nothing when a row
// could not be stored (reported).
std::optional<float> DayImport::WriteHeldHour(const DayTime& hourStamp) {
    progress_.Task(" Updating Start Times in Kora Log");
    timed_.clear();
    for (size_t i = 1; i < heldCount_; ++i) {
        timed_.push_back(TimedRowOf(log_, held_[i].entry, held_[i].prepared));
    }
    const float total = TimeHourRows(timed_, hourStamp, context_.audiowall, context_.timing);

    HeldEntry& hourStart = held_[0];
    hourStart.entry.Information1 = static_cast<float>(hour_.HourMode);
    hourStart.entry.EntryFlags = ImportedHourFlags(hourStart.entry.EntryFlags, hour_.HourFlag);
    hourStart.prepared.estimatedLength = total;  // 0 for an hour without entries, as written
    // The hour's rows go to a database server in one round trip; a row it refuses is reported
    // as its own write would have reported it. Rows are written in held_'s order, so a
    // refusal's place in the batch is the entry's place in held_.
    AddedRowsBatch batch(log_);
    for (size_t i = 0; i < heldCount_; ++i) {
        HeldEntry& held = held_[i];
        if (i > 0 && timed_[i - 1].timed) {
            held.prepared.estimatedStart = timed_[i - 1].start;
            held.prepared.estimatedLength = timed_[i - 1].length;
        }
        if (!WriteLogEntry(target_, held.entry, held.prepared)) return std::nullopt;
    }
    std::vector<BatchRefusal> refused;
    if (DbError e = batch.Finish(refused); !e.Ok()) {
        const size_t row = refused.empty() ? 0 : refused.front().row;
        ReportUnstoredEntry(target_, held_[row < heldCount_ ? row : 0].entry, e);
        return std::nullopt;
    }
    return total;
}

// The walk over the table for an hour written among existing rows, inside the transaction that
// holds the hour; the caller reports a failed edit and rolls the hour back.
StartTimesResult DayImport::TimeHourInTable(const DayTime& hourStamp) {
    progress_.Task(" Updating Start Times in Kora Log");
    return UpdateStartTimes(log_, HourStartQIndex(hourStamp), hourStamp, context_.audiowall,
                            context_.timing);
}

// The start times of an hour that was not imported now (already in the log, absent from the
// music log, or rolled back): recalculated in a transaction of their own.
void DayImport::UpdateHourTimes(const DayTime& hourStamp) {
    const double hourStart = HourStartQIndex(hourStamp);
    if (!log_.Seek(SeekOp::Equal, hourStart).Ok() || log_.NoMatch()) return;
    const std::string hourName = DayTimeLongText(hourStamp, 4);
    Transaction transaction(db_);
    if (const DbError& e = transaction.BeginError(); !e.Ok()) {
        StartTimesFailed(hourName, e);
        return;
    }
    StartTimesResult timing = TimeHourInTable(hourStamp);
    if (!timing.error.Ok()) {
        StartTimesFailed(hourName, timing.error);  // rolled back by the guard
        return;
    }
    DbError e = db_.Notify(kLogChannel);
    if (e.Ok()) e = transaction.Commit();
    if (!e.Ok()) {
        StartTimesFailed(hourName, e);
        return;
    }
    ReportUnderrun(hourStamp, timing.total);
}

void DayImport::ReportUnderrun(const DayTime& hourStamp, float length) {
    if (MayUnderrun(length, context_.settings)) {
        Report("The following hour is only " + FormatTimeText(length, 2) +
               " minutes long, so may underrun: " + DayTimeLongText(hourStamp, 4));
    }
}

void DayImport::StartTimesFailed(const std::string& hourName, const DbError& error) {
    Report("There was a problem updating the start times of the hour for " + hourName +
           " in the log");
    ProblemReport(context_.ui, "updating the start times of the hour " + hourName, error);
}

// The import's decisions for the hour, taken as it takes them; only the writing is left out.
void DayImport::PreviewHour(const DayTime& hourStamp, bool import, bool insertAfter, double q) {
    vantor::PreviewHour& hour = context_.preview->days.back().hours.emplace_back();
    hour.hour = hourStamp;
    if (!import) {
        hour.status = PreviewHourStatus::AlreadyInLog;
        PreviewTableHour(hourStamp, hour);
    } else if (!SeekToHour(hourStamp)) {
        hour.status = PreviewHourStatus::NotInSchedulerFile;
        hour.lost = NotFound(hourStamp);
        PreviewTableHour(hourStamp, hour);
    } else {
        hour.insertedAfter = insertAfter;
        PreviewHourLines(hourStamp, q, insertAfter, hour);
    }
    std::vector<std::string>& shown = *context_.previewMessages;
    hour.messages.insert(hour.messages.end(), shown.begin(), shown.end());
    shown.clear();
}

// Reads the hour's lines as the import does, then times the rows the walk over the table would
// see once they were written: those already after the key of the hour start and the new ones,
// in key order.
void DayImport::PreviewHourLines(const DayTime& hourStamp, double q, bool insertAfter,
                                 vantor::PreviewHour& hour) {
    const std::string hourName = DayTimeLongText(hourStamp, 4);
    const size_t shownBefore = context_.previewMessages->size();
    hour.status = PreviewHourStatus::New;
    heldCount_ = 0;
    StartHourEntry(hourStamp);
    if (!insertAfter && !AddEntry(hourStamp, q, true)) {
        PreviewFailed(hour, shownBefore, "Couldn't add the Hour Start for " + hourName);
        return;
    }
    if (!ReadHourLines(hourStamp, q, true)) {
        PreviewFailed(
            hour, shownBefore,
            "There was a problem adding an entry to the hour for " + hourName + " to the log");
        return;
    }
    if (HourCutShort()) {
        hour.status = PreviewHourStatus::NotInSchedulerFile;
        hour.lost = NotFound(hourStamp);
        PreviewTableHour(hourStamp, hour);
        return;
    }

    timed_.clear();
    if (SeesTable(hourStamp)) {
        if (DbError e = ReadHourRows(log_, HourStartQIndex(hourStamp), timed_); !e.Ok()) {
            PreviewFailed(hour, shownBefore,
                          ProblemReport(context_.ui, "reading the hour " + hourName, e));
            return;
        }
    }
    const size_t firstNew = insertAfter ? 0 : 1;  // held_[0] is the hour start when one is added
    for (size_t i = firstNew; i < heldCount_; ++i) {
        timed_.push_back(TimedRowOf(log_, held_[i].entry, held_[i].prepared));
    }
    auto byKey = [](const TimedRow& a, const TimedRow& b) { return a.qIndex < b.qIndex; };
    std::stable_sort(timed_.begin(), timed_.end(), byKey);
    auto taken = std::adjacent_find(
        timed_.begin(), timed_.end(),
        [](const TimedRow& a, const TimedRow& b) { return a.qIndex == b.qIndex; });
    if (taken != timed_.end()) {
        // The import's row would meet one already stored under its key.
        PreviewFailed(
            hour, shownBefore,
            ProblemReport(context_.ui, "adding an entry to the KORA Log for " + hourName +
                                           " because its place in the log is already taken"));
        return;
    }

    hour.timed = true;
    hour.length = TimeHourRows(timed_, hourStamp, context_.audiowall, context_.timing);
    hour.underrun = MayUnderrun(hour.length, context_.settings);
    hour.entries = static_cast<int>(timed_.size());
    DescribeNewEntries(hour, firstNew);
}

void DayImport::DescribeNewEntries(vantor::PreviewHour& hour, size_t firstNew) {
    auto byKey = [](const TimedRow& a, const TimedRow& b) { return a.qIndex < b.qIndex; };
    for (size_t i = firstNew; i < heldCount_; ++i) {
        const HeldEntry& held = held_[i];
        TimedRow key;
        key.qIndex = held.prepared.q;
        auto row = std::lower_bound(timed_.begin(), timed_.end(), key, byKey);
        if (row == timed_.end() || row->qIndex != key.qIndex) continue;
        PreviewEntry& entry = hour.newEntries.emplace_back();
        entry.position = static_cast<int>(row - timed_.begin()) + 1;
        entry.type = held.entry.EntryType;
        entry.cart = Trim(held.entry.HDReference);
        entry.title = Trim(held.entry.Description1);
        // What the import would store: the timing's values, or the row's own where the timing
        // leaves a row as it is.
        entry.start = row->timed ? row->start : held.prepared.estimatedStart;
        entry.length = row->timed ? row->length : held.prepared.estimatedLength;
        entry.cartMissing = held.prepared.cartMissing;
        entry.timed = row->timed;
    }
}

// The run's record of the hour: its state, its rows as the table now holds them (timed as the
// import timed them), the new ones among them, and the lines the error report got about it.
void DayImport::RecordHour(const DayTime& hourStamp, PreviewHourStatus status, bool insertAfter,
                           bool lost, size_t reportedBefore) {
    vantor::PreviewHour& hour = context_.record->days.back().hours.emplace_back();
    hour.hour = hourStamp;
    hour.status = status;
    hour.lost = lost;
    hour.insertedAfter = insertAfter && status != PreviewHourStatus::AlreadyInLog;
    if (reported_) {
        hour.messages.assign(reported_->begin() + static_cast<std::ptrdiff_t>(reportedBefore),
                             reported_->end());
    }
    // A rolled-back hour leaves only its report line to say why.
    if (status == PreviewHourStatus::Failed && !hour.messages.empty())
        hour.reason = hour.messages.back();
    PreviewTableHour(hourStamp, hour);
    if (status == PreviewHourStatus::New && hour.timed)
        DescribeNewEntries(hour, insertAfter ? 0 : 1);
}

// The length of an hour the import leaves as it is but times again, when it is in the table.
void DayImport::PreviewTableHour(const DayTime& hourStamp, vantor::PreviewHour& hour) {
    const double hourStart = HourStartQIndex(hourStamp);
    if (!SeesTable(hourStamp) || !log_.Seek(SeekOp::Equal, hourStart).Ok() || log_.NoMatch())
        return;
    if (DbError e = ReadHourRows(log_, hourStart, timed_); !e.Ok()) {
        ProblemReport(context_.ui, "reading the hour " + DayTimeLongText(hourStamp, 4), e);
        return;
    }
    hour.timed = true;
    hour.length = TimeHourRows(timed_, hourStamp, context_.audiowall, context_.timing);
    hour.underrun = MayUnderrun(hour.length, context_.settings);
    hour.entries = static_cast<int>(timed_.size());
}

// The import would roll the hour back; the first message it would show while reading the
// hour's lines says why, else its report line does.
void DayImport::PreviewFailed(vantor::PreviewHour& hour, size_t shownBefore,
                              const std::string& reportLine) {
    hour.status = PreviewHourStatus::Failed;
    const std::vector<std::string>& shown = *context_.previewMessages;
    hour.reason = shown.size() > shownBefore ? shown[shownBefore] : reportLine;
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
    if (DbError e = OpenLogTable(database, log); !e.Ok()) {
        ProblemReport(ui, "opening the Kora Log", e);
        return false;
    }

    // Kept open for the whole range: an hour may add many lines (missing carts). A preview
    // reports nothing to the file.
    ReportFile errorReport(context.preview ? std::string() : context.errorLogPath);
    std::vector<std::string> reported;
    if (context.record && !context.preview) errorReport.CopyLinesTo(&reported);
    ImportPreview* const record = context.preview ? nullptr : context.record;
    const int days = end.day - start.day + 1;
    for (int32_t day = start.day; day <= end.day; ++day) {
        const int dayIndex = day - start.day;
        const int firstHour = day == start.day ? HourOfDay(start.seconds) : 0;
        const int lastHour = day == end.day ? HourOfDay(end.seconds) : 23;
        const int hours = lastHour - firstHour + 1;
        const std::string dayName = LongDateText(static_cast<OleDate>(day));
        progress.Overall("Sending Music Log for " + dayName);
        progress.OverallBar(100.0 * dayIndex / days);

        const std::string path = LogFileName(day, context.logFiles);
        PreviewDay* previewDay = nullptr;
        if (context.preview) {
            previewDay = &context.preview->days.emplace_back();
            previewDay->day = day;
            previewDay->logFile = path;
        }
        PreviewDay* recordDay = nullptr;
        if (record) {
            recordDay = &record->days.emplace_back();
            recordDay->day = day;
            recordDay->logFile = path;
        }
        SchedulerLogReader reader(path);
        if (!reader.IsOpen() || reader.Length() <= 0) {
            // Something under the file's name that cannot be read (a directory, a pipe, a
            // link to nothing) is named with the reason: "not found" would send a person
            // looking for a file that is there.
            const std::string& why = reader.Unreadable();
            if (previewDay) {
                previewDay->fileMissing = true;
                previewDay->unreadable = why;
                continue;
            }
            if (why.empty()) {
                ShowInformation(
                    ui, "The log file : " + path + " for " + dayName + " could not be found.");
            } else {
                ShowWarning(ui, "The log file : " + path + " for " + dayName +
                                    " could not be read: " + why + ".");
            }
            const size_t reportedBefore = reported.size();
            LostHours missing;
            missing.AllLost(day, firstHour, lastHour);
            missing.Report(errorReport, path, context.clock);
            if (recordDay) {
                recordDay->fileMissing = true;
                recordDay->messages.assign(
                    reported.begin() + static_cast<std::ptrdiff_t>(reportedBefore), reported.end());
            }
            continue;
        }
        progress.Process("Opening Log for " + TwoDigits(firstHour) + ":00");
        const int32_t fileDay = Trim(context.logFiles.dateFormat).empty() ? -1 : day;
        DayImport dayImport(database, log, context, errorReport, reader, progress, fileDay,
                            record ? &reported : nullptr);
        for (int hour = firstHour; hour <= lastHour; ++hour) {
            progress.OverallBar((static_cast<double>(dayIndex) / days +
                                 static_cast<double>(hour - firstHour) / hours / days) *
                                100);
            dayImport.Hour(DayTime{day, static_cast<float>(hour * 3600)});
            if (dayImport.Stopped()) {
                log.Close();
                return false;
            }
        }
        const size_t reportedBefore = reported.size();
        dayImport.Lost().Report(errorReport, path, context.clock);
        if (recordDay) {
            // Hours the file lost are told of once the day has been read.
            recordDay->messages.assign(
                reported.begin() + static_cast<std::ptrdiff_t>(reportedBefore), reported.end());
        }
        if (previewDay) {
            // What came up after the day's last hour (an unreadable line further on).
            std::vector<std::string>& shown = *context.previewMessages;
            previewDay->messages.insert(previewDay->messages.end(), shown.begin(), shown.end());
            shown.clear();
        }
        progress.Task(" Closing Log File");
    }

    progress.Task("Closing Kora Log");
    progress.Process("Tidying Up");
    progress.Overall(" Completed Pushing Song Logs");
    progress.OverallBar(100);
    progress.ProcessBar(100);
    // The pause lets an operator read the final texts; nobody watches an unattended run.
    if (ui.ShowsProgress() && !context.preview) PauseWithEvents(ui, context.clock, 0.5);
    log.Close();
    if (!context.preview) RecordMusicSent(ui, database, "", context.clock.Now());
    return true;
}

}  // namespace vantor

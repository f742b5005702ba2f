#include "importer/log_entry_builder.h"

#include "audiowall/audiowall_store.h"
#include "common/numbers.h"
#include "common/problem_report.h"
#include "common/report_file.h"
#include "common/text.h"
#include "dbengine/engine.h"
#include "playoutdb/log_table.h"

namespace vantor {

namespace {

// The most entries an hour can hold at the importer's spacing of two keys.
constexpr int kMostEntriesPerHour = 360;

// Checks and completes the entry from its cart, which it keeps in prepared; false when the
// cart is missing or has no audio (reported).
bool CheckCart(EntryTarget& target, const DayTime& hourStamp, ImportEntry& entry,
               PreparedEntry& prepared) {
    const std::string cartText = Trim(entry.HDReference);
    const std::optional<int32_t> number = ToInt32(RoundHalfEven(LeadingNumber(cartText)));
    prepared.cartNumber = number.value_or(0);
    prepared.cart =
        number ? CartLookup(target.audiowall, *number, CartFields::TitleAndTimes).cart
               : target.audiowall.EmptyCart;
    const CartRecord& cart = prepared.cart;
    if (cart.TimingDamaged) {
        target.errorReport.Append(false,
                                  DayTimeShortText(hourStamp, 4) + " - Cart " + cartText +
                                      " is damaged: its length or timings are not a number of "
                                      "seconds within a day, so they were read as 0",
                                  target.clock);
    }
    const bool playable = cart.HasAudio();
    if (playable) {
        entry.ScheduledLength = cart.Length();
    } else {
        target.errorReport.Append(false,
                                  DayTimeShortText(hourStamp, 4) + " - Cart " + cartText +
                                      " has been scheduled to play, but does not exist/has no "
                                      "audio",
                                  target.clock);
    }
    const std::string title = Trim(cart.TitleLine1);
    const std::string description = Trim(entry.Description1);
    if ((description.empty() || description == cartText) && !title.empty()) {
        entry.Description1 = title;
        entry.Description2 = title;
        entry.Description3 = title;
    }
    return playable;
}

// Sets the columns of the new row NewLogEntry started, one after the other, and stops at the
// first that fails. Texts are cut to their column's width first: one over-long title must not
// cost the station its hour. A row that was not stored is cancelled when the writer goes.
class RowWriter {
  public:
    explicit RowWriter(TableCursor& log) : log_(log) {}
    ~RowWriter() {
        if (!stored_) log_.CancelUpdate();
    }
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    RowWriter& Set(std::string_view column, const DbValue& value) {
        if (error_.Ok()) Store(column, LogFieldIndex(log_, column, next_), value);
        return *this;
    }
    RowWriter& Text(std::string_view column, const std::string& text) {
        if (!error_.Ok()) return *this;
        int index = LogFieldIndex(log_, column, next_);
        int width = index < 0 ? 0 : log_.Fields()[index].TextWidth();
        if (width > 0 && CharacterCount(text) > static_cast<size_t>(width)) {
            Store(column, index, FirstCharacters(text, width));
        } else {
            Store(column, index, text);
        }
        return *this;
    }
    // Stores the row unless a column failed; the first failure, if any.
    DbError Store() {
        if (error_.Ok()) error_ = log_.Update();
        stored_ = error_.Ok();
        return error_;
    }

  private:
    // A missing column fails by its name, as the engine reports it.
    void Store(std::string_view column, int index, const DbValue& value) {
        error_ = index < 0 ? log_.Set(column, value) : log_.Set(index, value);
    }
    TableCursor& log_;
    DbError error_;
    bool stored_ = false;
    size_t next_ = 0;  // where the next column is looked for first: they come in table order
};

}  // namespace

bool PrepareLogEntry(EntryTarget& target, double q, const DayTime& hourStamp, ImportEntry& entry,
                     int32_t hourMode, PreparedEntry& prepared) {
    prepared.cartNumber = 0;
    prepared.cartMissing =
        !Trim(entry.HDReference).empty() && !CheckCart(target, hourStamp, entry, prepared);

    // Past the hour's last key the row would land among the next hour's entries, which the
    // playout would then play in the wrong hour.
    if (q > HourEndQIndex(hourStamp)) {
        ProblemReport(target.ui, "adding an entry to the KORA Log - \"" + entry.Description1 +
                                     "\" because an hour holds at most " +
                                     std::to_string(kMostEntriesPerHour) + " entries");
        return false;
    }
    prepared.q = q;
    prepared.actualEndType =
        hourMode == 2
            ? (entry.ScheduledEndType == kEndTypeSweeper ? kEndTypeSweeper : kEndTypeNormal)
            : entry.ScheduledEndType;
    prepared.estimatedStart = hourStamp.seconds;
    prepared.estimatedLength = static_cast<float>(entry.ScheduledLength);
    return true;
}

TimedRow TimedRowOf(const TableCursor& log, const ImportEntry& entry,
                    const PreparedEntry& prepared) {
    TimedRow row;
    row.qIndex = prepared.q;
    row.type = entry.EntryType;
    row.status = entry.EntryStatus;
    row.actualEndType = prepared.actualEndType;
    // The cart as the stored, width-cut text names it.
    int index = LogFieldIndex(log, LogEntry::HDReference);
    int width = index < 0 ? 0 : log.Fields()[index].TextWidth();
    row.cartNumber = width > 0 && CharacterCount(entry.HDReference) > static_cast<size_t>(width)
                         ? CartNumberOfReference(FirstCharacters(entry.HDReference, width))
                         : CartNumberOfReference(entry.HDReference);
    if (row.cartNumber > 0 && row.cartNumber == prepared.cartNumber) row.cart = &prepared.cart;
    row.referenceStart = entry.ReferenceStartTime;
    row.estimatedStart = prepared.estimatedStart;
    row.estimatedLength = prepared.estimatedLength;
    row.extroOverride = 0;  // a new row's
    row.information1 = entry.Information1;
    return row;
}

bool WriteLogEntry(EntryTarget& target, const ImportEntry& entry, const PreparedEntry& prepared) {
    if (!NewLogEntry(target.log, prepared.q)) return false;
    RowWriter row(target.log);
    row.Set(LogEntry::EstimatedStartTime, prepared.estimatedStart)
        .Set(LogEntry::ReferenceStartTime, entry.ReferenceStartTime)
        .Set(LogEntry::EntryFlags, entry.EntryFlags)
        .Set(LogEntry::EntryType, entry.EntryType)
        .Set(LogEntry::EntryStatus, entry.EntryStatus)
        .Set(LogEntry::ScheduledLength, static_cast<float>(entry.ScheduledLength))
        .Set(LogEntry::EstimatedLength, prepared.estimatedLength)
        .Text(LogEntry::ItemReference, entry.ItemReference)
        .Text(LogEntry::SchedulerReference, entry.SchedulerReference)
        .Text(LogEntry::HDReference, entry.HDReference)
        .Text(LogEntry::Description1, entry.Description1)
        .Text(LogEntry::Description2, entry.Description2)
        .Text(LogEntry::Description3, entry.Description3)
        .Text(LogEntry::Description4, entry.Description4)
        .Set(LogEntry::EndingType, entry.EndingType)
        .Set(LogEntry::ScheduledEndType, entry.ScheduledEndType)
        .Set(LogEntry::ActualEndType, prepared.actualEndType)
        .Set(LogEntry::Information1, entry.Information1)
        .Set(LogEntry::Information2, entry.Information2)
        .Set(LogEntry::Information3, entry.Information3)
        .Set(LogEntry::Information4, entry.Information4)
        .Set(LogEntry::HardwareEndTestNumber1, static_cast<int>(entry.HardwareEndTestNumber1))
        .Set(LogEntry::HardwareEndTestState1, static_cast<int>(entry.HardwareEndTestState1))
        .Set(LogEntry::HardwareEndTestNumber2, static_cast<int>(entry.HardwareEndTestNumber2))
        .Set(LogEntry::HardwareEndTestState2, static_cast<int>(entry.HardwareEndTestState2))
        .Text(LogEntry::Notes, entry.Notes);
    if (DbError error = row.Store(); !error.Ok()) {
        ReportUnstoredEntry(target, entry, error);
        return false;
    }
    return true;
}

void ReportUnstoredEntry(EntryTarget& target, const ImportEntry& entry, const DbError& error) {
    ProblemReport(target.ui, "adding an entry to the KORA Log - \"" + entry.Description1 + "\"",
                  error);
}

bool AddLogEntry(EntryTarget& target, double& q, const DayTime& hourStamp, ImportEntry& entry,
                 int32_t hourMode) {
    PreparedEntry prepared;
    if (!PrepareLogEntry(target, q, hourStamp, entry, hourMode, prepared) ||
        !WriteLogEntry(target, entry, prepared)) {
        return false;
    }
    q += QIndexStep;
    return true;
}

}  // namespace vantor

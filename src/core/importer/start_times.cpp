#include "importer/start_times.h"

#include <cmath>

#include "audiowall/audiowall_store.h"
#include "common/numbers.h"
#include "common/ole_date.h"
#include "dbengine/engine.h"
#include "dbengine/row_edit.h"
#include "playoutdb/log_table.h"
#include "playoutdb/playout_settings.h"

namespace vantor {

namespace {

constexpr int32_t kStatusLeftOut = 1 | 4 | 8;  // entries the timing neither times nor counts

int32_t CartNumberOf(const DbValue& hdReference) {
    double value = LeadingNumber(hdReference.AsText());
    if (value <= 0) return 0;
    return ToInt32(value).value_or(0);
}

// The row the timing is looking at, read once.
struct TimedRow {
    double qIndex = 0;
    int32_t type = 0;
    int32_t status = 0;
    int32_t actualEndType = 0;
    int32_t cartNumber = 0;
    float referenceStart = 0;
    float estimatedStart = 0;
    float estimatedLength = 0;
    float extroOverride = 0;
    float information1 = 0;
};

// Positions of the fields the timing reads and writes, found once per hour rather than by name
// for every row.
struct TimedColumns {
    explicit TimedColumns(const TableCursor& log)
        : qIndex(log.FieldIndex(LogEntry::QIndex)),
          type(log.FieldIndex(LogEntry::EntryType)),
          status(log.FieldIndex(LogEntry::EntryStatus)),
          actualEndType(log.FieldIndex(LogEntry::ActualEndType)),
          hdReference(log.FieldIndex(LogEntry::HDReference)),
          referenceStart(log.FieldIndex(LogEntry::ReferenceStartTime)),
          estimatedStart(log.FieldIndex(LogEntry::EstimatedStartTime)),
          estimatedLength(log.FieldIndex(LogEntry::EstimatedLength)),
          extroOverride(log.FieldIndex(LogEntry::ExtroOverride)),
          information1(log.FieldIndex(LogEntry::Information1)) {}
    int qIndex, type, status, actualEndType, hdReference, referenceStart, estimatedStart,
        estimatedLength, extroOverride, information1;
};

TimedRow ReadRow(const TableCursor& log, const TimedColumns& at) {
    TimedRow row;
    row.qIndex = log.Field(at.qIndex).AsDouble();
    row.type = static_cast<int32_t>(log.Field(at.type).AsInteger());
    row.status = static_cast<int32_t>(log.Field(at.status).AsInteger());
    row.actualEndType = static_cast<int32_t>(log.Field(at.actualEndType).AsInteger());
    row.cartNumber = CartNumberOf(log.Field(at.hdReference));
    row.referenceStart = static_cast<float>(log.Field(at.referenceStart).AsDouble());
    row.estimatedStart = static_cast<float>(log.Field(at.estimatedStart).AsDouble());
    row.estimatedLength = static_cast<float>(log.Field(at.estimatedLength).AsDouble());
    row.extroOverride = static_cast<float>(log.Field(at.extroOverride).AsDouble());
    row.information1 = static_cast<float>(log.Field(at.information1).AsDouble());
    return row;
}

bool IsTimedAudio(int32_t type) {
    return type == 2 || type == 3 || type == 4 || type == 7 || type == 9;
}

// A sweeper is laid over the next item only when that item is a plain, ready audio entry with
// an intro to talk over.
bool CanCarrySweeper(const TimedRow& row, const CartRecord& cart) {
    return row.status == 2 && IsAudioEntryType(row.type, true) && row.cartNumber > 0 &&
           row.actualEndType != 100 && cart.HasAudio() && cart.IntroEnd() > 0;
}

void StoreTimes(TableCursor& log, const TimedColumns& at, float start, float length) {
    // A time that cannot be stored leaves the row as it was; the walk goes on.
    RowEdit row(log, RowEdit::Start::Edit);
    static_cast<void>(row.Set(at.estimatedStart, start).Set(at.estimatedLength, length).Store());
}

}  // namespace

StartTimeOptions StartTimeOptionsOf(const DbSettings& settings) {
    return {settings.KORA_SweeperMode, settings.KORA_WaitSplitReturn};
}

float SweeperLead(const CartRecord& next, const CartRecord& sweeper) {
    float intro = next.IntroEnd() - next.IntroStart();
    if (!(next.IntroStart() == 0 && intro > 0) && sweeper.AudioLength() > intro) {
        return sweeper.Length();
    }
    if (intro > sweeper.AudioLength()) return 0;
    return sweeper.AudioLength() - next.IntroEnd();
}

float UpdateStartTimes(TableCursor& log, double hourStart, const DayTime& hourStamp,
                       AudiowallState& audiowall, const StartTimeOptions& options) {
    if (log.Seek(SeekOp::Greater, hourStart) || log.NoMatch()) return 0;
    const TimedColumns at(log);
    DayTime clock = hourStamp;
    float total = 0;
    while (!log.Eof()) {
        TimedRow row = ReadRow(log, at);
        if (row.type == 98) break;
        if ((row.status & kStatusLeftOut) != 0) {
            if (log.MoveNext()) break;
            continue;
        }
        float length = 0;
        if (row.type == 1) {
            // An absolute time holds the clock back until it is reached; it never goes back.
            if (DayOfQIndex(row.qIndex) == clock.day && row.referenceStart > clock.seconds) {
                clock.seconds = row.referenceStart;
            }
        } else if (IsTimedAudio(row.type)) {
            if (row.cartNumber > 0) {
                CartRecord cart = CartLookup(audiowall, row.cartNumber).cart;
                if (cart.HasAudio()) {
                    if (row.actualEndType == 100 && options.SweeperMode != 2) {
                        const double sweeperKey = row.qIndex;
                        bool laid = false;
                        if (!log.MoveNext() && !log.Eof()) {
                            TimedRow next = ReadRow(log, at);
                            CartRecord nextCart;
                            if (next.cartNumber > 0) {
                                nextCart = CartLookup(audiowall, next.cartNumber).cart;
                            }
                            if (CanCarrySweeper(next, nextCart)) {
                                float lead = SweeperLead(nextCart, cart);
                                clock = DayTimeAddSeconds(clock, lead);
                                total += lead;
                                row = next;
                                cart = nextCart;
                                laid = true;
                            }
                        }
                        if (!laid && (log.Seek(SeekOp::Equal, sweeperKey) || log.NoMatch())) {
                            break;
                        }
                    }
                    if (!(row.type == 9 && row.information1 == 2)) {
                        length = row.extroOverride > 0 ? row.extroOverride : cart.Length();
                    }
                }
            }
        } else if (row.type == 12 || row.type == 13 || row.type == 14) {
            if (options.WaitSplitReturn != 0 && row.estimatedLength > 0) {
                length = row.estimatedLength;
            }
        }
        if (row.estimatedStart != clock.seconds || row.estimatedLength != length) {
            StoreTimes(log, at, clock.seconds, length);
        }
        clock = DayTimeAddSeconds(clock, length);
        total += length;
        if (log.MoveNext()) break;
    }
    if (!log.Seek(SeekOp::Equal, hourStart) && !log.NoMatch()) {
        RowEdit row(log, RowEdit::Start::Edit);
        static_cast<void>(row.Set(LogEntry::EstimatedLength, total).Store());
    }
    return total;
}

}  // namespace vantor

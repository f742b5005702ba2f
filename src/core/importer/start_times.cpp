#include "importer/start_times.h"

#include <vector>

#include "common/error_numbers.h"
#include "playoutdb/log_table.h"
#include "playoutdb/playout_settings.h"

namespace vantor {

namespace {

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
    row.cartNumber = CartNumberOfReference(log.Field(at.hdReference).AsText());
    row.referenceStart = static_cast<float>(log.Field(at.referenceStart).AsDouble());
    row.estimatedStart = static_cast<float>(log.Field(at.estimatedStart).AsDouble());
    row.estimatedLength = static_cast<float>(log.Field(at.estimatedLength).AsDouble());
    row.extroOverride = static_cast<float>(log.Field(at.extroOverride).AsDouble());
    row.information1 = static_cast<float>(log.Field(at.information1).AsDouble());
    return row;
}

DbError StoreTimes(TableCursor& log, const TimedColumns& at, float start, float length) {
    if (DbError e = log.Edit(); !e.Ok()) return e;
    DbError e = log.Set(at.estimatedStart, start);
    if (e.Ok()) e = log.Set(at.estimatedLength, length);
    if (e.Ok()) e = log.Update();
    if (!e.Ok()) log.CancelUpdate();
    return e;
}

}  // namespace

StartTimeOptions StartTimeOptionsOf(const DbSettings& settings) {
    return {settings.KORA_SweeperMode, settings.KORA_WaitSplitReturn};
}

DbError ReadHourRows(TableCursor& log, double hourStart, std::vector<TimedRow>& rows) {
    rows.clear();
    if (DbError e = log.Seek(SeekOp::Greater, hourStart); !e.Ok()) return e;
    if (log.NoMatch()) return {};
    const TimedColumns at(log);
    while (!log.Eof()) {
        TimedRow row = ReadRow(log, at);
        if (row.type == 98) break;  // the next hour begins
        rows.push_back(row);
        if (DbError e = log.MoveNext(); !e.Ok()) return e;
    }
    return {};
}

StartTimesResult UpdateStartTimes(TableCursor& log, double hourStart, const DayTime& hourStamp,
                                  AudiowallState& audiowall, const StartTimeOptions& options) {
    StartTimesResult result;
    std::vector<TimedRow> rows;
    if (DbError e = ReadHourRows(log, hourStart, rows); !e.Ok()) {
        result.error = e;
        return result;
    }
    // Nothing after the hour start at all (the table ends there): nothing to store. An hour start
    // followed at once by the next one still gets its total of 0.
    if (rows.empty() && log.NoMatch()) return result;
    const TimedColumns at(log);
    result.total = TimeHourRows(rows, hourStamp, audiowall, options);
    for (const TimedRow& row : rows) {
        if (!row.Changed()) continue;
        DbError e = log.Seek(SeekOp::Equal, row.qIndex);
        if (e.Ok() && log.NoMatch()) e = DbError::Make(err::kNoCurrentRecord);
        if (e.Ok()) e = StoreTimes(log, at, row.start, row.length);
        if (!e.Ok()) {
            result.error = e;
            return result;
        }
    }
    DbError e = log.Seek(SeekOp::Equal, hourStart);
    if (e.Ok() && !log.NoMatch()) {
        if ((e = log.Edit()).Ok()) {
            e = log.Set(at.estimatedLength, result.total);
            if (e.Ok()) e = log.Update();
            if (!e.Ok()) log.CancelUpdate();
        }
    }
    result.error = e;
    return result;
}

}  // namespace vantor

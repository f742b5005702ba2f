// The Log table's row, its codes, the QIndex scheme and the table
// access the importer and the maintenance routines share.

#include <cmath>
#include <cstdio>

#include "common/files.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "dbengine/row_edit.h"
#include "playoutdb/log_table.h"

namespace vantor {

namespace {
using FT = FieldType;
}  // namespace

const std::array<LogEntryColumn, LogEntry::kColumnCount>& LogEntry::Columns() {
    static const std::array<LogEntryColumn, kColumnCount> columns = {{
        {QIndex, FT::Double, 0, DbValue()},  // set to the position asked for
        {EntryType, FT::Long, 0, 0},
        {EntryStatus, FT::Long, 0, 0},
        {EntryFlags, FT::Long, 0, 0},
        {OriginalEntryFlags, FT::Long, 0, DbValue()},
        {EstimatedStartTime, FT::Single, 0, 0},
        {ReferenceStartTime, FT::Single, 0, 0},
        {ScheduledLength, FT::Single, 0, DbValue()},
        {EstimatedLength, FT::Single, 0, 0},
        {ItemReference, FT::Text, 0, ""},
        {SchedulerReference, FT::Text, 0, ""},
        {HDReference, FT::Text, 0, ""},
        {Description1, FT::Text, 0, ""},
        {Description2, FT::Text, 0, ""},
        {Description3, FT::Text, 0, ""},
        {Description4, FT::Text, 0, ""},
        {EndingType, FT::Short, 0, 0},
        {ScheduledEndType, FT::Long, 0, kEndTypeNormal},
        {ActualEndType, FT::Long, 0, kEndTypeNormal},
        {Information1, FT::Single, 0, 0},
        {Information2, FT::Single, 0, 0},
        {Information3, FT::Single, 0, 0},
        {Information4, FT::Single, 0, 0},
        {InformationString1, FT::Text, 0, ""},
        {InformationString2, FT::Text, 0, ""},
        {InformationString3, FT::Text, 0, DbValue()},
        {InformationString4, FT::Text, 0, DbValue()},
        {PreCueOverride, FT::Single, 0, 0},
        {ExtroOverride, FT::Single, 0, 0},
        {HardwareEndTestNumber1, FT::Short, 0, 0},
        {HardwareEndTestState1, FT::Short, 0, 0},
        {HardwareEndTestNumber2, FT::Short, 0, 0},
        {HardwareEndTestState2, FT::Short, 0, 0},
        {PlayedDate, FT::Long, 0, 0},
        {PlayedTime, FT::Single, 0, 0},
        {PlayedLength, FT::Single, 0, 0},
        {PlayedTerminal, FT::Short, 0, 0},
        {Notes, FT::Memo, 0, ""},
        {WEB_Text, FT::Memo, 0, ""},
        {DAB_Text, FT::Text, 0, ""},
        {RDS_Text, FT::Text, 128, ""},
        {SegueCodes, FT::Memo, 0, ""},
        {AutoFadeStart, FT::Single, 0, 0},
        {AutoFadeLength, FT::Single, 0, 0},
    }};
    return columns;
}

// ---------------------------------------------------------------------------------------------
// Entry type names

namespace {

struct EntryTypeNames {
    std::string_view shortName;
    std::string_view longName;
};

constexpr EntryTypeNames kEntryTypeNames[] = {
    {"Srce", "Source"},    {"Time", "Ab. Time"},   {"Cart", "Cart"},        {"Link", "R. Link"},
    {"Ad", "Ad. Break"},   {"Hdwr", "Hardware"},   {"RPF", "R.P. Frame"},   {"Song", "Rotaplan"},
    {"Text", "Text Msg"},  {"BX", "Brixel"},       {"----", "<Empty>"},     {"CMD", "Command"},
    {"S.Ct", "Spl. Cart"}, {"S.Gr", "Spl. Group"}, {"S.Ad", "Spl. Advert"},
};

const EntryTypeNames* NamesOf(int32_t code) {
    if (code < 0 || code >= static_cast<int32_t>(std::size(kEntryTypeNames))) return nullptr;
    return &kEntryTypeNames[code];
}

}  // namespace

std::string_view EntryTypeShortName(int32_t code) {
    const EntryTypeNames* names = NamesOf(code);
    return names ? names->shortName : std::string_view();
}

std::string_view EntryTypeLongName(int32_t code) {
    const EntryTypeNames* names = NamesOf(code);
    return names ? names->longName : std::string_view();
}

bool IsAudioEntryType(int32_t type, bool narrow) {
    auto is = [type](EntryType code) { return type == static_cast<int32_t>(code); };
    if (is(EntryType::Cart) || is(EntryType::Link) || is(EntryType::Song)) return true;
    if (narrow) return false;
    return is(EntryType::Advert) || is(EntryType::Brixel);
}

// ---------------------------------------------------------------------------------------------
// QIndex

namespace {

double WholeHours(float seconds) {
    return std::floor(static_cast<double>(seconds) / 3600.0);
}

}  // namespace

double HourStartQIndex(const DayTime& stamp) {
    return static_cast<double>(stamp.day - kQIndexDayOffset) + WholeHours(stamp.seconds) / 24.0;
}

double HourEndQIndex(const DayTime& stamp) {
    return static_cast<double>(stamp.day - kQIndexDayOffset) +
           (WholeHours(stamp.seconds) * 3600.0 + 3599.99) / 86400.0;
}

DayTime DayTimeOfQIndex(double q) {
    double whole = std::floor(q);
    double f = (q - whole) * 86400.0;
    double seconds = std::floor(f);
    // Keys are sums of steps in double arithmetic; a key that lands a hair below a whole
    // second stands for that second.
    if (RoundHalfEven((f - seconds) * 1000000.0) >= 1000000.0) seconds += 1.0;
    DayTime stamp;
    stamp.day = SaturatedInt32(whole + kQIndexDayOffset);
    double hourStart = std::floor(seconds / 3600.0) * 3600.0;
    if (hourStart >= 86400.0) {
        // A hair below midnight is midnight: the next day's first hour, not a 24th hour.
        stamp.day += 1;
        hourStart = 0.0;
    }
    stamp.seconds = static_cast<float>(hourStart);
    return stamp;
}

double HourStartOfQIndex(double q) {
    return HourStartQIndex(DayTimeOfQIndex(q));
}

int32_t DayOfQIndex(double q) {
    return SaturatedInt32(std::floor(q) + kQIndexDayOffset);
}

// ---------------------------------------------------------------------------------------------
// Table access

DbError OpenLogTable(Database& db, TableCursor& cursor) {
    return db.OpenTable("Log", cursor, "Main");
}

namespace {

// The field at position, when it is the column (by exact name), else the lookup by name.
int FieldAt(const TableCursor& cursor, size_t position, std::string_view column) {
    const std::vector<FieldDef>& fields = cursor.Fields();
    if (position < fields.size() && fields[position].name == column) {
        return static_cast<int>(position);
    }
    return cursor.FieldIndex(column);
}

}  // namespace

int LogFieldIndex(const TableCursor& cursor, std::string_view column) {
    const auto& columns = LogEntry::Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.data() == column.data()) return FieldAt(cursor, i, column);
    }
    return cursor.FieldIndex(column);
}

int LogFieldIndex(const TableCursor& cursor, std::string_view column, size_t& from) {
    const auto& columns = LogEntry::Columns();
    const size_t count = columns.size();
    for (size_t n = 0; n < count; ++n) {
        const size_t i = (from + n) % count;
        if (columns[i].name.data() == column.data()) {
            from = i + 1;
            return FieldAt(cursor, i, column);
        }
    }
    return cursor.FieldIndex(column);
}

int LogColumnPosition(std::string_view column) {
    const auto& columns = LogEntry::Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == column) return static_cast<int>(i);
    }
    return -1;
}

bool NewLogEntry(TableCursor& cursor, double q, const LogColumnSet& setLater) {
    RowEdit row(cursor, RowEdit::Start::AddNew);
    if (!row.Error().Ok()) return false;
    const auto& columns = LogEntry::Columns();
    const DbValue key(q);
    for (size_t i = 0; i < columns.size(); ++i) {
        const LogEntryColumn& column = columns[i];
        const DbValue& value = column.name == LogEntry::QIndex ? key : column.newRowValue;
        if (value.IsNull()) continue;  // a new row's fields start Null
        int index = FieldAt(cursor, i, column.name);
        if (index >= 0 && setLater[i]) continue;
        if (!(index < 0 ? row.Set(column.name, value) : row.Set(index, value)).Error().Ok())
            return false;
    }
    row.HandOn();
    return true;
}

DbError CountLogRows(Database& db, double first, double last, int64_t& count) {
    QueryResult result;
    if (DbError error = db.Query("SELECT COUNT(*) AS [Rows] FROM [Log] WHERE [QIndex] >= ?1 AND "
                                 "[QIndex] <= ?2",
                                 {DbValue(first), DbValue(last)}, result); !error.Ok()) {
        return error;
    }
    count = result.Eof() ? 0 : result.Field(0).AsInteger();
    return {};
}

LastScheduled LastScheduledHour(const std::string& databasePath) {
    const FileInStore file = FileStoreOf(databasePath);
    return LastScheduledHour(*file.store, file.name);
}

LastScheduled LastScheduledHour(const DatabaseStore& store, const std::string& name) {
    LastScheduled none;
    if (!store.Exists(name)) return none;
    Database db;
    if (!store.Open(name, db).Ok()) return none;
    TableCursor log;
    if (!OpenLogTable(db, log).Ok() || !log.MoveLast().Ok()) return none;
    DbValue q;
    if (!log.GetField(LogEntry::QIndex, q).Ok() || q.IsNull()) return none;
    log.Close();
    db.Close();

    LastScheduled result;
    result.end = DayTimeAddSeconds(DayTimeOfQIndex(q.AsDouble()), 3599.99);
    int hour = SaturatedInt32(WholeHours(result.end.seconds));
    char hourText[8];
    std::snprintf(hourText, sizeof hourText, "%02d", hour);
    result.text = LongDateText(result.end.day) + " " + hourText + ":59";
    return result;
}

}  // namespace vantor

#include "playoutdb/log_maintenance.h"

#include <cmath>

#include "audiowall/audiowall_store.h"
#include "common/general.h"
#include "common/locale.h"
#include "common/numbers.h"
#include "common/ole_date.h"
#include "common/problem_report.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "playoutdb/log_table.h"
#include "playoutdb/playout_settings.h"
#include "dbengine/engine.h"
#include "dbengine/schema.h"

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
        : qIndex(log.FieldIndex("QIndex")),
          type(log.FieldIndex("EntryType")),
          status(log.FieldIndex("EntryStatus")),
          actualEndType(log.FieldIndex("ActualEndType")),
          hdReference(log.FieldIndex("HDReference")),
          referenceStart(log.FieldIndex("ReferenceStartTime")),
          estimatedStart(log.FieldIndex("EstimatedStartTime")),
          estimatedLength(log.FieldIndex("EstimatedLength")),
          extroOverride(log.FieldIndex("ExtroOverride")),
          information1(log.FieldIndex("Information1")) {}
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
    if (log.Edit()) return;
    if (log.Set(at.estimatedStart, start) || log.Set(at.estimatedLength, length) || log.Update()) {
        log.CancelUpdate();
    }
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
        if (!log.Edit()) {
            if (log.Set("EstimatedLength", total) || log.Update()) log.CancelUpdate();
        }
    }
    return total;
}

namespace {

// The database progress window for the time of one maintenance routine.
class ProgressWindow {
  public:
    explicit ProgressWindow(UserInterface& ui) : ui_(ui), hourglass_(ui) {
        ui_.ShowDatabaseProgress(true);
        Task("Opening Kora v2.6 Database");
        Bar(0);
    }
    ~ProgressWindow() { ui_.ShowDatabaseProgress(false); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    void Task(const std::string& text) {
        ui_.SetDatabaseProgressTask(text);
        ui_.ProcessEvents();
    }
    void Bar(double percent) {
        int value = static_cast<int>(percent);
        ui_.SetDatabaseProgressValue(value < 0 ? 0 : value > 100 ? 100 : value, 100);
    }
    void Hide() { ui_.ShowDatabaseProgress(false); }
    void Show() { ui_.ShowDatabaseProgress(true); }

  private:
    UserInterface& ui_;
    HourglassGuard hourglass_;
};

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

// Removes one hour inside its own transaction: the statement, then a walk by key that takes
// whatever the statement left (such as the hour start itself). Returns the error, if any.
DbError RemoveOneHour(Database& db, TableCursor& log, const DayTime& hour) {
    const double first = HourStartQIndex(hour);
    const double last = HourEndQIndex(hour);
    if (DbError e = db.BeginTrans()) return e;
    DbError e = db.Execute("DELETE * FROM [log] WHERE [qindex]>=? AND [qindex]<=?", {first, last});
    if (!e) {
        e = log.Seek(SeekOp::GreaterOrEqual, first);
        while (!e && !log.NoMatch() && !log.Eof() && log.Field("QIndex").AsDouble() <= last) {
            e = log.Delete();
            if (!e) e = log.MoveNext();
        }
    }
    if (!e) e = db.CommitTrans();
    if (e) db.Rollback();
    return e;
}

}  // namespace

bool RemoveLogHours(const std::string& databasePath, const DayTime& from, const DayTime& to,
                    const std::string& hourMask, UserInterface& ui) {
    if (FileLength(databasePath) <= 0) return false;
    ProgressWindow progress(ui);
    if (VerifyPlayoutDatabase(ui, databasePath) != 0) return false;

    Database db;
    TableCursor log;
    DbError opened = db.Open(databasePath);
    if (!opened) opened = OpenLogTable(db, log);
    if (opened) {
        progress.Hide();
        ProblemReport(ui, "opening the Kora v2.6 Database", opened.number, false,
                      opened.description);
        return false;
    }
    if (log.Eof()) return true;

    // Nothing outside the scheduled hours can be removed, so the walk is kept to them.
    DayTime first = from;
    DayTime last = to;
    if (log.MoveFirst()) return false;
    DayTime firstHour = DayTimeOfQIndex(log.Field("QIndex").AsDouble());
    if (DayTimeAfter(firstHour, first)) first = firstHour;
    if (log.MoveLast()) return false;
    DayTime lastEnd = DayTimeAddSeconds(DayTimeOfQIndex(log.Field("QIndex").AsDouble()), 3599.99f);
    if (DayTimeBefore(lastEnd, last)) last = lastEnd;

    bool allRemoved = true;
    if (!DayTimeBefore(last, first)) {
        progress.Task("Removing from Kora v2.6");
        const int days = last.day - first.day + 1;
        const double step = 100.0 / days;
        for (int32_t d = first.day; d <= last.day; ++d) {
            const double dayStart = (d - first.day) * step;
            progress.Bar(dayStart);
            const int firstHourOfDay = d == first.day ? static_cast<int>(first.seconds / 3600) : 0;
            const int lastHourOfDay = d == last.day ? static_cast<int>(last.seconds / 3600) : 23;
            for (int h = firstHourOfDay; h <= lastHourOfDay; ++h) {
                progress.Bar(h / 23.0 * step + dayStart);
                const int hourOfWeek = HourOfWeek(d + h / 24.0);
                if (Trim(MidOf(hourMask, hourOfWeek + 1, 1)).empty()) continue;
                DayTime hour{d, static_cast<float>(h * 3600)};
                if (DbError e = RemoveOneHour(db, log, hour)) {
                    progress.Hide();
                    ProblemReport(ui,
                                  "removing the " + TwoDigits(h) + ":00 hour on the " +
                                      LongDateText(static_cast<OleDate>(d)),
                                  0);
                    progress.Show();
                    allRemoved = false;
                }
            }
        }
    }
    progress.Task("Closing Kora v2.6 Database");
    log.Close();
    db.Close();
    progress.Task("Finished Removing Entries");
    progress.Bar(100);
    return allRemoved;
}

namespace {

bool EmptyTable(const std::string& databasePath, const char* statement, const char* failedTask,
                UserInterface& ui) {
    if (FileLength(databasePath) <= 0) return false;
    ProgressWindow progress(ui);
    if (VerifyPlayoutDatabase(ui, databasePath) != 0) return false;
    Database db;
    if (DbError e = db.Open(databasePath)) {
        progress.Hide();
        ProblemReport(ui, "opening the Kora v2.6 Database", e.number, false, e.description);
        return false;
    }
    Transaction transaction(db);
    DbError e = transaction.BeginError();
    if (!e) e = db.Execute(statement);
    if (!e) e = transaction.Commit();
    if (e) {
        transaction.Rollback();
        db.Close();
        progress.Hide();
        ProblemReport(ui, failedTask, e.number, false, e.description);
        return false;
    }
    return true;
}

}  // namespace

bool RemoveAllLogEntries(const std::string& databasePath, UserInterface& ui) {
    return EmptyTable(databasePath, "DELETE * FROM [log]", "purging the Kora v2.6 Database", ui);
}

bool EmptySongs(const std::string& databasePath, UserInterface& ui) {
    return EmptyTable(databasePath, "DELETE * FROM [songs]",
                      "Removing the songs from the Kora v2.6 Database", ui);
}

}  // namespace vantor

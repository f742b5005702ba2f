#include "playoutdb/log_maintenance.h"

#include <algorithm>

#include "common/files.h"
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
#include "playoutdb/playout_tables.h"


namespace vantor {


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
        int value = SaturatedInt32(percent);
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
    Transaction transaction(db);  // rolled back unless the hour is gone whole
    if (const DbError& e = transaction.BeginError(); !e.Ok()) return e;
    DbError e = db.Execute("DELETE * FROM [log] WHERE [qindex]>=? AND [qindex]<=?", {first, last});
    if (e.Ok()) {
        e = log.Seek(SeekOp::GreaterOrEqual, first);
        while (e.Ok() && !log.NoMatch() && !log.Eof() &&
               log.Field(LogEntry::QIndex).AsDouble() <= last) {
            e = log.Delete();
            if (e.Ok()) e = log.MoveNext();
        }
    }
    if (e.Ok()) e = transaction.Commit();
    return e;
}

}  // namespace

bool RemoveLogHours(const DatabaseStore& store, const std::string& name, const DayTime& from,
                    const DayTime& to, const std::string& hourMask, UserInterface& ui) {
    if (!store.Exists(name)) return false;
    ProgressWindow progress(ui);
    if (!VerifyPlayoutDatabase(ui, store, name).Ok()) return false;

    Database db;
    TableCursor log;
    DbError opened = store.Open(name, db);
    if (opened.Ok()) opened = OpenLogTable(db, log);
    if (!opened.Ok()) {
        progress.Hide();
        ProblemReport(ui, "opening the Kora v2.6 Database", opened);
        return false;
    }
    if (log.Eof()) return true;

    // Nothing outside the scheduled hours can be removed, so the walk is kept to them.
    DayTime first = from;
    DayTime last = to;
    if (!log.MoveFirst().Ok()) return false;
    DayTime firstHour = DayTimeOfQIndex(log.Field(LogEntry::QIndex).AsDouble());
    if (DayTimeAfter(firstHour, first)) first = firstHour;
    if (!log.MoveLast().Ok()) return false;
    DayTime lastEnd = DayTimeAddSeconds(DayTimeOfQIndex(log.Field(LogEntry::QIndex).AsDouble()), 3599.99f);
    if (DayTimeBefore(lastEnd, last)) last = lastEnd;

    bool allRemoved = true;
    if (!DayTimeBefore(last, first)) {
        progress.Task("Removing from Kora v2.6");
        const int days = last.day - first.day + 1;
        const double step = 100.0 / days;
        for (int32_t d = first.day; d <= last.day; ++d) {
            const double dayStart = (d - first.day) * step;
            progress.Bar(dayStart);
            // Typed hours may hold any number of digits: the hours stay within the day.
            const int firstHourOfDay =
                d == first.day ? std::clamp(SaturatedInt32(first.seconds / 3600), 0, 23) : 0;
            const int lastHourOfDay =
                d == last.day ? std::clamp(SaturatedInt32(last.seconds / 3600), 0, 23) : 23;
            for (int h = firstHourOfDay; h <= lastHourOfDay; ++h) {
                progress.Bar(h / 23.0 * step + dayStart);
                const int hourOfWeek = HourOfWeek(d + h / 24.0);
                if (Trim(MidOf(hourMask, hourOfWeek + 1, 1)).empty()) continue;
                DayTime hour{d, static_cast<float>(h * 3600)};
                if (DbError e = RemoveOneHour(db, log, hour); !e.Ok()) {
                    progress.Hide();
                    ProblemReport(ui, "removing the " + TwoDigits(h) + ":00 hour on the " +
                                          LongDateText(static_cast<OleDate>(d)));
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

bool EmptyTable(const DatabaseStore& store, const std::string& name, const char* statement,
                const char* failedTask, UserInterface& ui) {
    if (!store.Exists(name)) return false;
    ProgressWindow progress(ui);
    if (!VerifyPlayoutDatabase(ui, store, name).Ok()) return false;
    Database db;
    if (DbError e = store.Open(name, db); !e.Ok()) {
        progress.Hide();
        ProblemReport(ui, "opening the Kora v2.6 Database", e);
        return false;
    }
    DbError e;
    {
        Transaction transaction(db);  // rolled back here unless committed
        e = transaction.BeginError();
        if (e.Ok()) e = db.Execute(statement);
        if (e.Ok()) e = transaction.Commit();
    }
    if (!e.Ok()) {
        db.Close();
        progress.Hide();
        ProblemReport(ui, failedTask, e);
        return false;
    }
    return true;
}

}  // namespace

bool RemoveAllLogEntries(const DatabaseStore& store, const std::string& name, UserInterface& ui) {
    return EmptyTable(store, name, "DELETE * FROM [log]", "purging the Kora v2.6 Database", ui);
}

bool EmptySongs(const DatabaseStore& store, const std::string& name, UserInterface& ui) {
    return EmptyTable(store, name, "DELETE * FROM [songs]",
                      "Removing the songs from the Kora v2.6 Database", ui);
}

bool RemoveLogHours(const std::string& databasePath, const DayTime& from, const DayTime& to,
                    const std::string& hourMask, UserInterface& ui) {
    const FileInStore file = FileStoreOf(databasePath);
    return RemoveLogHours(*file.store, file.name, from, to, hourMask, ui);
}

bool RemoveAllLogEntries(const std::string& databasePath, UserInterface& ui) {
    const FileInStore file = FileStoreOf(databasePath);
    return RemoveAllLogEntries(*file.store, file.name, ui);
}

bool EmptySongs(const std::string& databasePath, UserInterface& ui) {
    const FileInStore file = FileStoreOf(databasePath);
    return EmptySongs(*file.store, file.name, ui);
}

}  // namespace vantor

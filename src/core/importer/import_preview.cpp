#include "importer/import_preview.h"

#include "common/clock.h"
#include "common/locale.h"
#include "common/text.h"
#include "common/time_text.h"
#include "common/user_interface.h"
#include "dbengine/database_store.h"
#include "dbengine/engine.h"
#include "importer/hour_import.h"
#include "importer/import_run.h"
#include "importer/start_times.h"
#include "playoutdb/log_table.h"
#include "playoutdb/playout_settings.h"
#include "session/session.h"

namespace vantor {

namespace {

// The operator's user interface for everything but messages: a message the import would show
// is kept for the preview (on one line) and answered with its default button, so that the
// preview runs through without a dialog and reports what the import would have said.
class KeptMessagesUserInterface : public UserInterface {
  public:
    KeptMessagesUserInterface(UserInterface& ui, std::vector<std::string>& messages)
        : ui_(ui), messages_(messages) {}

    MessageResult ShowMessage(const MessageRequest& request) override {
        messages_.push_back(Simplified(request.text));
        return DefaultButtonOf(request);
    }
    InputBoxResult InputBox(const InputBoxRequest& request) override {
        return ui_.InputBox(request);
    }
    std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override {
        return ui_.ChooseOpenFile(request);
    }
    std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override {
        return ui_.ChooseSaveFile(request);
    }
    std::optional<std::string> BrowseForFolder(const std::string& title,
                                               const std::string& startFolder) override {
        return ui_.BrowseForFolder(title, startFolder);
    }
    MouseCursor SetCursor(MouseCursor cursor) override { return ui_.SetCursor(cursor); }
    void ProcessEvents() override { ui_.ProcessEvents(); }
    bool ShowsProgress() const override { return ui_.ShowsProgress(); }
    void ShowImportProgress(bool visible) override { ui_.ShowImportProgress(visible); }
    void SetImportProgressText(ImportProgressLabel label, const std::string& text) override {
        ui_.SetImportProgressText(label, text);
    }
    void SetImportProgressValue(ImportProgressBar bar, int value, int maximum) override {
        ui_.SetImportProgressValue(bar, value, maximum);
    }
    void ShowDatabaseProgress(bool visible) override { ui_.ShowDatabaseProgress(visible); }
    void SetDatabaseProgressTask(const std::string& text) override {
        ui_.SetDatabaseProgressTask(text);
    }
    void SetDatabaseProgressText(const std::string& text) override {
        ui_.SetDatabaseProgressText(text);
    }
    void SetDatabaseProgressValue(int value, int maximum) override {
        ui_.SetDatabaseProgressValue(value, maximum);
    }
    void ShowTextFile(const std::string& caption, const std::string& path) override {
        ui_.ShowTextFile(caption, path);
    }
    void ShowTextFileModal(const std::string& caption, const std::string& path) override {
        ui_.ShowTextFileModal(caption, path);
    }
    void ShowText(const std::string& caption, const std::string& text) override {
        ui_.ShowText(caption, text);
    }
    void SetStartupStatus(const std::string& text) override { ui_.SetStartupStatus(text); }
    int ScreenWidth() override { return ui_.ScreenWidth(); }
    int ScreenHeight() override { return ui_.ScreenHeight(); }

  private:
    // Line breaks and runs of blanks become one space.
    static std::string Simplified(const std::string& text) {
        std::string line;
        for (char c : text) {
            const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
            if (!blank) {
                line += c;
            } else if (!line.empty() && line.back() != ' ') {
                line += ' ';
            }
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        return line;
    }

    UserInterface& ui_;
    std::vector<std::string>& messages_;
};

std::string Counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string HourText(const DayTime& hour) {
    return FormatTimeText(hour.seconds, 4);
}

std::string Padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

}  // namespace

std::string_view PreviewHourStatusText(PreviewHourStatus status) {
    switch (status) {
        case PreviewHourStatus::New:
            return "new";
        case PreviewHourStatus::AlreadyInLog:
            return "already in the log";
        case PreviewHourStatus::NotInSchedulerFile:
            return "no hour in the scheduler's file";
        case PreviewHourStatus::Failed:
            return "failed";
    }
    return "";
}

int PreviewHour::MissingCarts() const {
    int count = 0;
    for (const PreviewEntry& entry : newEntries) count += entry.cartMissing ? 1 : 0;
    return count;
}

bool PreviewHour::Noteworthy() const {
    // Everything the import would write to its error report or show about the hour. An hour
    // that a well-formed file does not schedule is not: many stations schedule part of a day.
    return status == PreviewHourStatus::AlreadyInLog || NeedsAttention();
}

bool PreviewHour::NeedsAttention() const {
    return status == PreviewHourStatus::Failed || lost || insertedAfter || underrun ||
           MissingCarts() > 0 || !messages.empty();
}

PreviewSummary ImportPreview::Summary() const {
    PreviewSummary summary;
    for (const PreviewDay& day : days) {
        summary.missingDayFiles += day.fileMissing ? 1 : 0;
        for (const PreviewHour& hour : day.hours) {
            switch (hour.status) {
                case PreviewHourStatus::New:
                    ++summary.newHours;
                    summary.entries += static_cast<int>(hour.newEntries.size());
                    break;
                case PreviewHourStatus::AlreadyInLog:
                    ++summary.alreadyInLog;
                    break;
                case PreviewHourStatus::NotInSchedulerFile:
                    ++summary.notInSchedulerFile;
                    break;
                case PreviewHourStatus::Failed:
                    ++summary.failed;
                    break;
            }
            summary.missingCarts += hour.MissingCarts();
            summary.underruns += hour.underrun ? 1 : 0;
        }
    }
    return summary;
}

namespace {

// Whether a day lacks its file or has messages, or one of its hours passes the test.
template <class HourTest>
bool AnyDayOrHour(const std::vector<PreviewDay>& days, HourTest test) {
    for (const PreviewDay& day : days) {
        if (day.fileMissing || !day.messages.empty()) return true;
        for (const PreviewHour& hour : day.hours)
            if (test(hour)) return true;
    }
    return false;
}

}  // namespace

bool ImportPreview::Clean() const {
    return !AnyDayOrHour(days, [](const PreviewHour& hour) { return hour.Noteworthy(); });
}

bool ImportPreview::NeedsAttention() const {
    return AnyDayOrHour(days, [](const PreviewHour& hour) { return hour.NeedsAttention(); });
}

PreviewRunResult PreviewImport(Session& session, const RangeFields& fields,
                               const std::string& databasePath) {
    const FileInStore file = FileStoreOf(databasePath);
    return PreviewImport(session, fields, *file.store, file.name);
}

PreviewRunResult PreviewImport(Session& session, const RangeFields& fields,
                               const DatabaseStore& store, const std::string& name) {
    UserInterface& ui = session.ui;
    PreviewRunResult result;

    std::optional<RangeStamps> range = CheckRange(fields, ui, session.ThisYear());
    if (!range) return result;

    Database db;
    DbSettings settings;
    if (!OpenDatabaseForRun(session, store, name, DatabaseAccess::ReadOnly, db, settings)) {
        return result;
    }

    ImportPreview& preview = result.preview;
    preview.start = range->start;
    preview.end = range->end;
    preview.database = store.Address(name);
    preview.underrunningDuration = session.importSettings.UnderrunningDuration;

    ShowFreshImportProgress(ui);
    std::vector<std::string> messages;
    KeptMessagesUserInterface keeper(ui, messages);
    HourImportContext context{
        keeper,
        session.clock,
        session.audiowall,
        session.importSettings,
        SchedulerLogNamingOf(settings),
        StartTimeOptionsOf(settings),
        "",
    };
    context.preview = &preview;
    context.previewMessages = &messages;
    if (const int32_t purgeDays = session.importSettings.AutoPurgeDatabaseDays; purgeDays > 0) {
        context.previewPurgedThroughDay = session.clock.Today() - purgeDays - 1;
    }
    const bool walked = ImportHours(db, range->start, range->end, context);
    db.Close();
    ui.ShowImportProgress(false);

    if (!walked) {
        // The Log table could not be opened: the operator hears why, as from an import.
        for (const std::string& message : messages) ShowWarning(ui, message);
        result.outcome = PreviewRunOutcome::Abandoned;
        return result;
    }
    result.outcome = PreviewRunOutcome::Previewed;
    return result;
}

std::string PreviewSummaryText(const PreviewSummary& summary) {
    return "Summary: " + Counted(summary.newHours, "hour new", "hours new") + ", " +
           std::to_string(summary.alreadyInLog) + " already in the log, " +
           std::to_string(summary.failed) + " failing, " +
           std::to_string(summary.notInSchedulerFile) + " not in the scheduler's files; " +
           Counted(summary.entries, "entry", "entries") + "; " +
           Counted(summary.missingCarts, "missing cart", "missing carts") + "; " +
           Counted(summary.underruns, "hour", "hours") + " may underrun; " +
           Counted(summary.missingDayFiles, "day file", "day files") + " missing.";
}

std::string PreviewText(const ImportPreview& preview) {
    constexpr const char* kIndent = "         ";
    std::string text =
        "Preview of the import of " + RangeText(preview.start, preview.end) +
        "\ninto the Kora Database " + preview.database +
        "\nNothing has been written; this is what the import would do.\n"
        "Each hour: state, entries, length, missing carts and the messages the import would show;\n"
        "then its new entries: start, length, type, cart, title.\n";
    for (const PreviewDay& day : preview.days) {
        const std::string dayName = LongDateText(static_cast<OleDate>(day.day));
        text += "\n";
        if (day.fileMissing) {
            text += dayName + ": the log file " + day.logFile +
                    (day.unreadable.empty() ? " could not be found\n"
                                            : " could not be read: " + day.unreadable + "\n");
            continue;
        }
        text += dayName + ": " + day.logFile + "\n";
        for (const PreviewHour& hour : day.hours) {
            std::string line = "  " + HourText(hour.hour) + "  ";
            if (hour.status == PreviewHourStatus::Failed) {
                line += "failed: " + hour.reason;
            } else {
                line += Padded(std::string(PreviewHourStatusText(hour.status)), 32);
                if (hour.timed) {
                    line += Padded(Counted(hour.entries, "entry", "entries"), 12) +
                            FormatTimeText(hour.length, 2);
                    if (hour.underrun) line += "  may underrun";
                }
            }
            text += TrimRight(line) + "\n";
            if (hour.lost) {
                text += std::string(kIndent) +
                        "the hour could not be read in the scheduler's file (an unreadable header, or "
                        "the file is cut short)\n";
            }
            if (hour.insertedAfter) {
                text += std::string(kIndent) +
                        "the hour was in the log without songs: the entries go after it\n";
            }
            for (const PreviewEntry& entry : hour.newEntries) {
                if (!entry.cartMissing) continue;
                text += std::string(kIndent) + "missing cart " + entry.cart + ": entry " +
                        std::to_string(entry.position) + " at " + FormatTimeText(entry.start, 2) +
                        "\n";
            }
            for (const std::string& message : hour.messages)
                text += std::string(kIndent) + "message: " + message + "\n";
            for (const PreviewEntry& entry : hour.newEntries) {
                std::string row = std::string(kIndent) + "  " + FormatTimeText(entry.start, 2) +
                                  "  " + FormatTimeText(entry.length, 2) + "  " +
                                  Padded(std::string(EntryTypeShortName(entry.type)), 5) +
                                  Padded(entry.cart, 9) + entry.title;
                if (entry.cartMissing) row += "  [missing]";
                if (!entry.timed) row += "  [not timed]";
                text += TrimRight(row) + "\n";
            }
        }
        for (const std::string& message : day.messages) text += "  message: " + message + "\n";
    }
    text += "\n" + PreviewSummaryText(preview.Summary()) + "\n";
    return text;
}

}  // namespace vantor

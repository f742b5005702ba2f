#include "importer/pending_resend.h"

#include <cstdio>

#include "common/problem_report.h"
#include "dbengine/database_file.h"
#include "dbengine/database_store.h"
#include "dbengine/engine.h"

namespace vantor {

bool RecordPendingReSend(UserInterface& ui, const DatabaseStore& store, const std::string& name,
                         const RangeStamps* range) {
    Database db;
    TableCursor settings;
    DbError error = store.Open(name, db);
    if (error.Ok()) error = db.OpenTable("Settings", settings, "Main");
    if (!error.Ok()) {
        ProblemReport(ui, "opening the Kora settings table", error);
        return false;
    }
    std::string value;
    if (range) {
        // The seconds exactly as the stamps hold them, so that the range read back is the
        // range that was removed.
        char text[96];
        std::snprintf(text, sizeof text, "%d %.9g %d %.9g", range->start.day,
                      static_cast<double>(range->start.seconds), range->end.day,
                      static_cast<double>(range->end.seconds));
        value = text;
    }
    // The empty default removes the row.
    return SetDbSetting(ui, settings, kPendingReSendKey, DbValue(value), DbValue(std::string()),
                        false)
        .Ok();
}

std::optional<RangeStamps> PendingReSend(const DatabaseStore& store, const std::string& name) {
    Database db;
    TableCursor settings;
    if (!store.OpenReadOnly(name, db).Ok() ||
        !db.OpenTable("Settings", settings, "Main").Ok())
        return std::nullopt;
    const DbValue value = GetDbSetting(settings, kPendingReSendKey, DbValue(std::string()));
    RangeStamps range;
    double startSeconds = 0;
    double endSeconds = 0;
    if (std::sscanf(value.AsText().c_str(), "%d %lf %d %lf", &range.start.day, &startSeconds,
                    &range.end.day, &endSeconds) != 4)
        return std::nullopt;
    range.start.seconds = static_cast<float>(startSeconds);
    range.end.seconds = static_cast<float>(endSeconds);
    if (range.start.day < 1 || DayTimeBefore(range.end, range.start)) return std::nullopt;
    return range;
}

}  // namespace vantor

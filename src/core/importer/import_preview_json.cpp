// The import preview as one JSON document, for scripts and monitoring: the same facts as the
// text, with times both in seconds since midnight and as text.

#include "importer/import_preview_json.h"

#include "common/locale.h"
#include "common/ole_date.h"
#include "common/time_text.h"
#include "importer/import_preview.h"
#include "playoutdb/log_table.h"

namespace vantor {

namespace {

using nlohmann::json;

std::string IsoDate(int32_t day) {
    return FormatDate(static_cast<OleDate>(day), "yyyy-mm-dd");
}

json Stamp(const DayTime& stamp) {
    // Cut, not rounded: the range's end is the last hundredth of its hour (23:59:59.99).
    return {{"date", IsoDate(stamp.day)},
            {"seconds", stamp.seconds},
            {"time", FormatTimeText(stamp.seconds, 12)}};
}

json EntryJson(const PreviewEntry& entry) {
    return {{"position", entry.position},
            {"type", entry.type},
            {"typeName", std::string(EntryTypeShortName(entry.type))},
            {"cart", entry.cart},
            {"title", entry.title},
            {"start", entry.start},
            {"startText", FormatTimeText(entry.start, 2)},
            {"length", entry.length},
            {"lengthText", FormatTimeText(entry.length, 2)},
            {"cartMissing", entry.cartMissing},
            {"timed", entry.timed}};
}

json HourJson(const PreviewHour& hour) {
    json missing = json::array();
    json entries = json::array();
    for (const PreviewEntry& entry : hour.newEntries) {
        entries.push_back(EntryJson(entry));
        if (entry.cartMissing) {
            missing.push_back({{"position", entry.position},
                               {"cart", entry.cart},
                               {"start", entry.start},
                               {"startText", FormatTimeText(entry.start, 2)}});
        }
    }
    json result = {{"hour", FormatTimeText(hour.hour.seconds, 4)},
                   {"start", Stamp(hour.hour)},
                   {"status", std::string(PreviewHourStatusText(hour.status))},
                   {"reason", hour.reason},
                   {"lost", hour.lost},
                   {"insertedAfter", hour.insertedAfter},
                   {"entries", hour.entries},
                   {"length", nullptr},
                   {"lengthText", nullptr},
                   {"underrun", hour.underrun},
                   {"missingCarts", missing},
                   {"messages", hour.messages},
                   {"newEntries", entries}};
    if (hour.timed) {
        result["length"] = hour.length;
        result["lengthText"] = FormatTimeText(hour.length, 2);
    }
    return result;
}

}  // namespace

nlohmann::json PreviewJsonDocument(const ImportPreview& preview) {
    json days = json::array();
    for (const PreviewDay& day : preview.days) {
        json hours = json::array();
        for (const PreviewHour& hour : day.hours) hours.push_back(HourJson(hour));
        days.push_back({{"date", IsoDate(day.day)},
                        {"logFile", day.logFile},
                        {"fileMissing", day.fileMissing},
                        {"unreadable", day.unreadable},
                        {"messages", day.messages},
                        {"hours", hours}});
    }
    const PreviewSummary summary = preview.Summary();
    json document = {
        {"start", Stamp(preview.start)},
        {"end", Stamp(preview.end)},
        {"database", preview.database},
        {"underrunningDuration", preview.underrunningDuration},
        {"clean", preview.Clean()},
        {"days", days},
        {"summary",
         {{"newHours", summary.newHours},
          {"alreadyInLog", summary.alreadyInLog},
          {"failed", summary.failed},
          {"notInSchedulerFile", summary.notInSchedulerFile},
          {"entries", summary.entries},
          {"missingCarts", summary.missingCarts},
          {"underruns", summary.underruns},
          {"missingDayFiles", summary.missingDayFiles},
          {"text", PreviewSummaryText(summary)}}},
    };
    return document;
}

std::string JsonText(const nlohmann::json& document) {
    // Titles come from the scheduler's files: a byte that is not UTF-8 must not cost the
    // document.
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string PreviewJson(const ImportPreview& preview) {
    return JsonText(PreviewJsonDocument(preview));
}

}  // namespace vantor

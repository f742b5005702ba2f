#include "importer/run_record.h"

#include <cstdio>
#include <ctime>

#include "common/files.h"
#include "importer/import_preview_json.h"

namespace vantor {

namespace {

using nlohmann::json;
using Clock = std::chrono::system_clock;

double UnixSeconds(Clock::time_point when) {
    return std::chrono::duration<double>(when.time_since_epoch()).count();
}

// "2026-12-11T01:30:00Z": the run's moments in UTC, whatever the station's time zone.
std::string IsoUtc(Clock::time_point when) {
    const std::time_t seconds = Clock::to_time_t(when);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

const char* OutcomeText(const std::optional<ImportRunOutcome>& outcome) {
    if (!outcome) return "none";
    switch (*outcome) {
        case ImportRunOutcome::Imported:
            return "imported";
        case ImportRunOutcome::Abandoned:
            return "abandoned";
        case ImportRunOutcome::Stopped:
            break;
    }
    return "none";
}

// A label value with the three characters the format escapes.
std::string LabelValue(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '"')
            escaped += "\\\"";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

}  // namespace

void RunRecord::Keep(const ImportRunResult& run) {
    if (!run.Ran()) return;
    importOutcome = run.outcome;
    import = run.record;
    if (!run.record.database.empty()) database = run.record.database;
}

int HoursReported(const ImportPreview& import) {
    int hours = 0;
    for (const PreviewDay& day : import.days)
        for (const PreviewHour& hour : day.hours) hours += hour.Noteworthy() ? 1 : 0;
    return hours;
}

std::string RunRecordJson(const RunRecord& record) {
    json document = PreviewJsonDocument(record.import);
    if (!record.importOutcome) {
        // No range was walked: there is no range to name.
        document["start"] = nullptr;
        document["end"] = nullptr;
    }
    document["database"] = record.database;
    document["import"] = OutcomeText(record.importOutcome);
    document["summary"]["hoursReported"] = HoursReported(record.import);
    document["run"] = {{"start", IsoUtc(record.start)},
                       {"end", IsoUtc(record.end)},
                       {"durationSeconds", UnixSeconds(record.end) - UnixSeconds(record.start)},
                       {"exitStatus", record.exitStatus}};
    return JsonText(document);
}

std::string RunMetricsText(const RunRecord& record) {
    const PreviewSummary summary = record.import.Summary();
    const std::string labels =
        "{database=\"" + LabelValue(record.database.empty() ? "" : FileNameOf(record.database)) +
        "\"}";
    struct Metric {
        const char* name;
        const char* help;
        std::string value;
    };
    const Metric metrics[] = {
        {"vantor_logimport_last_run_timestamp_seconds",
         "When the last unattended run ended, in seconds since the Unix epoch.",
         Number(UnixSeconds(record.end))},
        {"vantor_logimport_last_run_duration_seconds", "How long the last unattended run took.",
         Number(UnixSeconds(record.end) - UnixSeconds(record.start))},
        {"vantor_logimport_hours_imported", "Hours the last run added to the playout log.",
         std::to_string(summary.newHours)},
        {"vantor_logimport_hours_reported", "Hours of the last run that its error report names.",
         std::to_string(HoursReported(record.import))},
        {"vantor_logimport_missing_carts",
         "Entries of the last run whose cart is not in the Audiowall or has no audio.",
         std::to_string(summary.missingCarts)},
        {"vantor_logimport_exit_status",
         "Exit status of the last run: 0 done, 4 done with an error report, 3 failed, 2 "
         "stopped by a check, 1 start-up ended.",
         std::to_string(record.exitStatus)},
    };
    std::string text;
    for (const Metric& metric : metrics) {
        text += std::string("# HELP ") + metric.name + " " + metric.help + "\n";
        text += std::string("# TYPE ") + metric.name + " gauge\n";
        text += metric.name + labels + " " + metric.value + "\n";
    }
    return text;
}

}  // namespace vantor

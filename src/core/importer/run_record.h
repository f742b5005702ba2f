#pragma once
// What an unattended run leaves for the station's monitoring: one JSON document with what the
// run's import did with each day and hour (the preview's shape) and when the run started,
// ended and how (its exit status), and the same summary as metrics in the Prometheus text
// format, for node_exporter's textfile collector.

#include <chrono>
#include <optional>
#include <string>

#include "importer/import_preview.h"
#include "importer/import_run.h"

namespace vantor {

struct RunRecord {
    std::chrono::system_clock::time_point start;
    std::chrono::system_clock::time_point end;
    int exitStatus = 0;
    // The playout database the run worked on ("" when it never got that far).
    std::string database;
    // The last import of the run, when one ran further than its checks.
    std::optional<ImportRunOutcome> importOutcome;
    ImportPreview import;

    // Keeps what an import run did (nothing when a check stopped it).
    void Keep(const ImportRunResult& run);
};

// Hours of the record's import that its error report names.
int HoursReported(const ImportPreview& import);

std::string RunRecordJson(const RunRecord& record);
std::string RunMetricsText(const RunRecord& record);

}  // namespace vantor

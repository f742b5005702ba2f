#include "importer/exit_status.h"

#include "importer/import_run.h"

namespace vantor {

int ExitStatusOf(const ImportRunResult& run) {
    switch (run.outcome) {
        case ImportRunOutcome::Stopped:
            return exit_status::kStopped;
        case ImportRunOutcome::Abandoned:
            return exit_status::kWorkFailed;
        case ImportRunOutcome::Imported:
            break;
    }
    // A report of hours that were already in the log says only that there was nothing new (a
    // nightly run after a manual import): the work was done.
    return run.errorReportHoldsProblem ? exit_status::kDoneWithReport : exit_status::kDone;
}

int WithProblemReports(int status, int problemReportsShown) {
    if (status == exit_status::kDone && problemReportsShown > 0)
        return exit_status::kDoneWithReport;
    return status;
}

}  // namespace vantor

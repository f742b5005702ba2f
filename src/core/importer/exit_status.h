#pragma once
// What a run tells the scheduler that started it: the unattended run and the windowed program
// with "/AUTO" "/QUIT" end with the same status for the same work.

namespace vantor {

struct ImportRunResult;

namespace exit_status {
constexpr int kDone = 0;            // the requested work ran, the error report holds no problem
constexpr int kDoneWithReport = 4;  // it ran, the error report holds a problem or one was shown
constexpr int kWorkFailed = 3;      // the hour import (or a removal) failed
constexpr int kStopped = 2;         // a check of the run, or a question answered No, stopped it
constexpr int kStartupEnded = 1;    // start-up ended the program
constexpr int kBadCommandLine = 64;
}  // namespace exit_status

// The status of an import run.
int ExitStatusOf(const ImportRunResult& run);

// A problem shown on the way (an unreadable header, a database error) did not stop the work,
// but the scheduler must hear of it: work that ended kDone after problem reports were shown
// ends kDoneWithReport.
int WithProblemReports(int status, int problemReportsShown);

}  // namespace vantor

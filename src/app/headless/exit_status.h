#pragma once
// What the unattended run tells the scheduler that started it.

namespace vantor::exit_status {
constexpr int kDone = 0;            // the requested work ran, the error report is empty
constexpr int kDoneWithReport = 4;  // it ran, the error report is not empty or a problem was shown
constexpr int kWorkFailed = 3;      // the hour import (or a removal) failed
constexpr int kStopped = 2;         // a check of the run, or a question answered No, stopped it
constexpr int kStartupEnded = 1;    // start-up ended the program
constexpr int kBadCommandLine = 64;
}  // namespace vantor::exit_status

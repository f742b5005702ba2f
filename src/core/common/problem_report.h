#pragma once
// The uniform report of a failed operation, and the table of error numbers with the standard
// messages the report quotes.

#include <string>
#include <string_view>

#include "common/error_numbers.h"
#include "common/error_result.h"
#include "common/user_interface.h"

namespace vantor {

// The runtime's error number closest to a system error (errno), for the reports the operator
// reads; `otherwise` for a system error without a closer match.
int ErrorNumberFromErrno(int errnoValue, int otherwise = err::kPathFileAccessError);

// Builds "There was a problem <task>[ and the error's description was reported as : ...]"
// and, unless quiet, shows it with the warning icon (pointer set to the arrow meanwhile).
// The description is the standard message of the error's number, else the one the failure
// carries. A problem without an error number (the default) reports the task alone. Returns
// the text.
std::string ProblemReport(UserInterface& ui, std::string_view task,
                          const ErrorResult& error = {}, bool quiet = false);

// The text alone, for callers that log it.
std::string ProblemReportText(std::string_view task, int errorNumber,
                              std::string_view currentErrorDescription = "");

}  // namespace vantor

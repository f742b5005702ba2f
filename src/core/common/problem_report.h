#pragma once
// The uniform report of a failed operation, and the table of error numbers with the standard
// messages the report quotes.

#include <string>
#include <string_view>

#include "common/user_interface.h"

namespace vantor {

// Error numbers that the program tests for by value.
namespace err {
constexpr int kNone = 0;
constexpr int kInvalidProcedureCall = 5;
constexpr int kOverflow = 6;
constexpr int kOutOfMemory = 7;
constexpr int kSubscriptOutOfRange = 9;
constexpr int kTypeMismatch = 13;
constexpr int kBadFileNameOrNumber = 52;
constexpr int kFileNotFound = 53;
constexpr int kFileAlreadyOpen = 55;
constexpr int kDeviceIoError = 57;
constexpr int kFileAlreadyExists = 58;
constexpr int kDiskFull = 61;
constexpr int kInputPastEndOfFile = 62;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccessError = 75;
constexpr int kPathNotFound = 76;
constexpr int kNoCurrentRecord = 3021;
constexpr int kDuplicateKey = 3022;
constexpr int kCannotOpenFile = 3044;  // could not open the file (missing, or not allowed)
constexpr int kFieldTooSmall = 3163;
constexpr int kCouldNotLock = 3218;
constexpr int kLockedByOtherUser = 3260;
constexpr int kItemNotFound = 3265;
constexpr int kUnrecognizedFormat = 3343;
}  // namespace err

// The runtime's error number closest to a system error (errno), for the reports the operator
// reads; `otherwise` for a system error without a closer match.
int ErrorNumberFromErrno(int errnoValue, int otherwise = err::kPathFileAccessError);

// The runtime's standard message for an error number; "" for a number it does not know.
std::string StandardErrorMessage(int errorNumber);

// Builds "There was a problem <task>[ and the error's description was reported as : ...]"
// and, unless quiet, shows it with the warning icon (pointer set to the arrow meanwhile).
// currentErrorDescription is the description carried by the failure itself; it is used only
// when the number has no standard message.
std::string ProblemReport(UserInterface& ui, std::string_view task, int errorNumber,
                          bool quiet = false, std::string_view currentErrorDescription = "");

// The text alone, for callers that log it.
std::string ProblemReportText(std::string_view task, int errorNumber,
                              std::string_view currentErrorDescription = "");

}  // namespace vantor

#pragma once
// The one table of error numbers of the program: the runtime's and the database engine's
// numbers that the code tests for or returns, and their standard messages.

#include <string>

namespace vantor {

namespace err {
constexpr int kNone = 0;
// The runtime's numbers (files, conversions).
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
// The database engine's numbers.
constexpr int kReserved = 3000;         // an engine failure without a closer number
constexpr int kInvalidArgument = 3001;  // bad SQL or an impossible request
constexpr int kTableExists = 3010;
constexpr int kObjectNotFound = 3011;
constexpr int kNoIndex = 3015;            // "not an index in this table"
constexpr int kNoCurrentIndex = 3019;     // Seek without a current index
constexpr int kUpdateWithoutEdit = 3020;  // Update/Set without AddNew or Edit
constexpr int kNoCurrentRecord = 3021;
constexpr int kDuplicateKey = 3022;
constexpr int kCouldNotFindFile = 3024;
constexpr int kNotEnoughSpaceOnDisk = 3026;
constexpr int kReadOnly = 3027;
constexpr int kAlreadyInTransaction = 3034;  // commit/rollback without a transaction
constexpr int kDiskOrNetworkError = 3043;
constexpr int kNotAValidPath = 3044;
constexpr int kFileAlreadyInUse = 3045;
constexpr int kCannotOpenFile = 3051;  // in use exclusively, or not allowed
constexpr int kNullInPrimaryKey = 3058;
constexpr int kTooFewParameters = 3061;
constexpr int kInputTableNotFound = 3078;
constexpr int kFieldTooSmall = 3163;
constexpr int kRecordIsDeleted = 3167;
constexpr int kFieldExists = 3191;
constexpr int kDatabaseExists = 3204;
constexpr int kCouldNotLock = 3218;
constexpr int kLockedByOtherSession = 3260;
constexpr int kItemNotFound = 3265;
constexpr int kIndexExists = 3284;
constexpr int kUnrecognizedFormat = 3343;
constexpr int kObjectInvalid = 3420;

// Every number the database engine returns.
inline constexpr int kEngineNumbers[] = {kOutOfMemory,
                                         kOverflow,
                                         kTypeMismatch,
                                         kReserved,
                                         kInvalidArgument,
                                         kTableExists,
                                         kObjectNotFound,
                                         kNoIndex,
                                         kNoCurrentIndex,
                                         kUpdateWithoutEdit,
                                         kNoCurrentRecord,
                                         kDuplicateKey,
                                         kCouldNotFindFile,
                                         kNotEnoughSpaceOnDisk,
                                         kReadOnly,
                                         kAlreadyInTransaction,
                                         kDiskOrNetworkError,
                                         kNotAValidPath,
                                         kFileAlreadyInUse,
                                         kCannotOpenFile,
                                         kTooFewParameters,
                                         kNullInPrimaryKey,
                                         kInputTableNotFound,
                                         kFieldTooSmall,
                                         kRecordIsDeleted,
                                         kFieldExists,
                                         kDatabaseExists,
                                         kCouldNotLock,
                                         kLockedByOtherSession,
                                         kItemNotFound,
                                         kIndexExists,
                                         kUnrecognizedFormat,
                                         kObjectInvalid};
}  // namespace err

// The standard message for an error number; "" for a number without one (then the failure's
// own detail describes it).
std::string StandardErrorMessage(int errorNumber);

// True when the number is in the table (with or without a standard message).
bool IsKnownErrorNumber(int errorNumber);

}  // namespace vantor

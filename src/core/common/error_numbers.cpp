#include "common/error_numbers.h"

#include <map>

namespace vantor {

namespace {

const std::map<int, const char*>& ErrorTable() {
    // The messages of the runtime and of the database engine, as the operator has always seen
    // them quoted in reports.
    static const std::map<int, const char*> kMessages = {
        // Numbers the engine returns whose description is the failure's own detail.
        {3000, ""},
        {3001, ""},
        {3015, ""},
        {3019, ""},
        {3020, ""},
        {3058, ""},
        {3204, ""},
        {3, "Return without GoSub"},
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {28, "Out of stack space"},
        {35, "Sub or Function not defined"},
        {48, "Error in loading DLL"},
        {49, "Bad DLL calling convention"},
        {51, "Internal error"},
        {52, "Bad file name or number"},
        {53, "File not found"},
        {54, "Bad file mode"},
        {55, "File already open"},
        {57, "Device I/O error"},
        {58, "File already exists"},
        {59, "Bad record length"},
        {61, "Disk full"},
        {62, "Input past end of file"},
        {63, "Bad record number"},
        {67, "Too many files"},
        {68, "Device unavailable"},
        {70, "Permission denied"},
        {71, "Disk not ready"},
        {74, "Can't rename with different drive"},
        {75, "Path/File access error"},
        {76, "Path not found"},
        {91, "Object variable or With block variable not set"},
        {93, "Invalid pattern string"},
        {94, "Invalid use of Null"},
        {380, "Invalid property value"},
        {424, "Object required"},
        {429, "ActiveX component can't create object"},
        {438, "Object doesn't support this property or method"},
        {453, "Specified DLL function not found"},
        {3004, "Invalid database ID."},
        {3010, "Table already exists."},
        {3011, "The Microsoft Jet database engine could not find the object."},
        {3012, "Object already exists."},
        {3021, "No current record."},
        {3022,
         "The changes you requested to the table were not successful because they would create "
         "duplicate values in the index, primary key, or relationship. Change the data in the "
         "field or fields that contain duplicate data, remove the index, or redefine the index "
         "to permit duplicate entries and try again."},
        {3024, "Could not find file."},
        {3026, "Not enough space on disk."},
        {3027, "Cannot update. Database or object is read-only."},
        {3034, "You tried to commit or rollback a transaction without first beginning a "
               "transaction."},
        {3043, "Disk or network error."},
        {3044, "Not a valid path."},
        {3045, "Could not use the file; file already in use."},
        {3049, "Cannot open database. It may not be a database that your application "
               "recognizes, or the file may be corrupt."},
        {3051, "The Microsoft Jet database engine cannot open the file. It is already opened "
               "exclusively by another user, or you need permission to view its data."},
        {3061, "Too few parameters."},
        {3078, "The Microsoft Jet database engine cannot find the input table or query. Make "
               "sure it exists and that its name is spelled correctly."},
        {3163, "The field is too small to accept the amount of data you attempted to add. Try "
               "inserting or pasting less data."},
        {3167, "Record is deleted."},
        {3191, "Cannot define field more than once."},
        {3197, "The Microsoft Jet database engine stopped the process because you and another "
               "user are attempting to change the same data at the same time."},
        {3218, "Could not update; currently locked."},
        {3260, "Could not update; currently locked by another session on this machine."},
        {3265, "Item not found in this collection."},
        {3284, "Index already exists."},
        {3315, "Field cannot be a zero-length string."},
        {3343, "Unrecognized database format."},
        {3356, "You attempted to open a database that is already opened exclusively by another "
               "user."},
        {3420, "Object invalid or no longer set."},
    };
    return kMessages;
}

}  // namespace

std::string StandardErrorMessage(int errorNumber) {
    auto it = ErrorTable().find(errorNumber);
    return it == ErrorTable().end() ? std::string() : std::string(it->second);
}

bool IsKnownErrorNumber(int errorNumber) {
    return ErrorTable().count(errorNumber) != 0;
}

}  // namespace vantor

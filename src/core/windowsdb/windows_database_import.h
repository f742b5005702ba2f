#pragma once
// Bringing over a database of the Windows installation: a playout database (KORA26.MDB) or
// the users database, in the desktop engine's Jet 3 or Jet 4 format, becomes a database of
// ours with the same tables, rows and values. The copy is made under a temporary name in the
// directory where the database belongs and takes its name only when every table came over;
// an existing database of that name is replaced only when asked, and then kept as the
// backup a compaction makes. The new database's tables are then brought up to date as an
// older database of ours is.

#include <string>
#include <vector>

namespace vantor {

class UserInterface;

enum class WindowsDatabaseKind { Unknown, Playout, Users };

enum class WindowsImportOutcome {
    Complete,     // every table, column and row came over
    PartlyCopied, // the database is in place, but something was left out (see the report)
    NotADatabase, // not a Jet 3/4 file of a kind we know, or damaged: nothing written
    Refused,      // the target exists and replacing it was not asked for: nothing written
    Failed,       // writing the new database failed (reported): nothing put in place
};

struct WindowsTableReport {
    std::string table;
    long long rowsRead = 0;
    long long rowsWritten = 0;
    std::vector<std::string> rowProblems;  // "row 12: ..." for each row left out
};

struct WindowsImportReport {
    std::string source;
    int jetVersion = 0;
    WindowsDatabaseKind kind = WindowsDatabaseKind::Unknown;
    std::string target;
    std::string backup;  // where the replaced database was kept, when one was
    std::vector<WindowsTableReport> tables;
    std::vector<std::string> leftOut;  // tables and columns our formats do not know
    WindowsImportOutcome outcome = WindowsImportOutcome::Failed;
    std::string reason;  // why nothing was written, for the outcomes that write nothing

    // The report a person reads: per table its rows read and written, the rows that could
    // not be converted with the reason, what was left out, or why nothing was written.
    std::string Text() const;
};

// Where a database brought over goes.
struct WindowsImportTarget {
    std::string playoutDirectory;  // the SCHEDULE directory of the data location
    std::string usersDatabase;  // the installation's users database file
    bool replace = false;
};

// The kind of database whose tables these are ("Log" makes a playout database, "Users" the
// users database); Unknown for neither or both.
WindowsDatabaseKind RecogniseWindowsDatabase(const std::vector<std::string>& tables);

WindowsImportReport ImportWindowsDatabase(UserInterface& ui, const std::string& source,
                                          const WindowsImportTarget& target);

}  // namespace vantor

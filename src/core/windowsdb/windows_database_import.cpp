#include "windowsdb/windows_database_import.h"

#include <filesystem>
#include <sstream>

#include "common/files.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/error_numbers.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "dbengine/database_file.h"
#include "dbengine/engine.h"
#include "dbengine/schema.h"
#include "dbmanage/database_types.h"
#include "playoutdb/playout_tables.h"
#include "users/users_database.h"
#include "users/users_tables.h"
#include "windowsdb/jet_file.h"

namespace vantor {

namespace {

namespace fs = std::filesystem;

// The description every database of the family carries; the last three fields are written by
// other programs of the family and come over when the file has them.
const TableLayout& DescriptionLayout() {
    static const TableLayout layout{"Description",
                                    {{"Description", FieldType::Text, 0},
                                     {"Version", FieldType::Single, 0},
                                     {"Type", FieldType::Long, 0},
                                     {"LastAccessed", FieldType::DateTime, 0},
                                     {"LastAccessedSoftware", FieldType::Text, 0},
                                     {"LastBackup", FieldType::Text, 0}},
                                    {}};
    return layout;
}

std::vector<const TableLayout*> LayoutsOf(WindowsDatabaseKind kind) {
    if (kind == WindowsDatabaseKind::Playout)
        return {&LogTableLayout(),     &SettingsTableLayout(),   &SongsTableLayout(),
                &JinglesTableLayout(), &ScheduleTableLayout(), &DescriptionLayout()};
    return {&UsersTableLayout(),          &UserGroupsTableLayout(), &UserHistoryTableLayout(),
            &UserPreferencesTableLayout(), &SettingsTableLayout(),  &DescriptionLayout()};
}

// Another program of the family names its description table "dbo.Description".
const TableLayout* LayoutFor(WindowsDatabaseKind kind, const std::string& table) {
    std::string name = EqualsNoCase(table, "dbo.Description") ? "Description" : table;
    for (const TableLayout* layout : LayoutsOf(kind))
        if (EqualsNoCase(layout->name, name)) return layout;
    return nullptr;
}

bool HasTable(const std::vector<std::string>& tables, const char* name) {
    for (const std::string& table : tables)
        if (EqualsNoCase(table, name)) return true;
    return false;
}

const char* KindName(WindowsDatabaseKind kind) {
    switch (kind) {
        case WindowsDatabaseKind::Playout: return "playout database";
        case WindowsDatabaseKind::Users: return "users database";
        default: return "database";
    }
}

// Removes the unfinished copy whatever way the import ends, unless it was put in place, and
// the directory made for it, so that a refused file leaves no trace.
class TemporaryFile {
  public:
    TemporaryFile(std::string path, std::string madeDirectory)
        : path_(std::move(path)), madeDirectory_(std::move(madeDirectory)) {}
    ~TemporaryFile() {
        if (path_.empty()) return;
        static_cast<void>(Database::DeleteFile(path_));
        std::error_code ec;
        if (!madeDirectory_.empty()) fs::remove(madeDirectory_, ec);  // only when empty
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }
    void Keep() { path_.clear(); }

  private:
    std::string path_;
    std::string madeDirectory_;
};

struct CopyResult {
    bool written = false;   // false: a write failed (reported)
    std::string damage;     // not empty: the file cannot be read whole
};

// Copies one table's rows; the columns our layout does not know are left out.
CopyResult CopyTable(UserInterface& ui, const JetFile& file, const std::string& sourceTable,
                     const TableLayout& layout, Database& db, WindowsImportReport& report) {
    CopyResult result;
    JetTableReader reader;
    if (std::string problem = file.OpenTable(sourceTable, reader); !problem.empty()) {
        result.damage = problem;
        return result;
    }
    if (!EnsureTable(ui, db, layout).Ok()) return result;  // reported by EnsureTable
    TableCursor rows;
    if (DbError e = db.OpenTable(layout.name, rows); !e.Ok()) {
        ProblemReport(ui, "opening the " + layout.name + " table", e);
        return result;
    }

    // Each column of the file goes to our field of the same name, or is left out.
    std::vector<int> target(reader.Columns().size(), -1);
    for (size_t c = 0; c < reader.Columns().size(); ++c) {
        const JetColumnInfo& column = reader.Columns()[c];
        const std::string place = "column " + sourceTable + "." + column.name;
        int field = rows.FieldIndex(column.name);
        if (field < 0)
            report.leftOut.push_back(place + " (not a column of this table)");
        else if (!IsJetTypeReadable(column.type))
            report.leftOut.push_back(place + " (" + JetTypeName(column.type) +
                                     " values cannot be read)");
        else
            target[c] = field;
    }

    WindowsTableReport& table = report.tables.emplace_back();
    table.table = layout.name;
    std::vector<DbValue> values;
    while (reader.Next(values)) {
        ++table.rowsRead;
        auto leaveOut = [&](const std::string& field, const DbError& e) {
            rows.CancelUpdate();
            table.rowProblems.push_back("row " + std::to_string(table.rowsRead) +
                                        (field.empty() ? "" : ", " + field) + ": " +
                                        e.description + " (" + std::to_string(e.number) + ")");
        };
        if (DbError e = rows.AddNew(); !e.Ok()) {
            ProblemReport(ui, "adding a row to the " + layout.name + " table", e);
            return result;
        }
        bool converted = true;
        for (size_t c = 0; c < values.size() && converted; ++c) {
            if (target[c] < 0) continue;
            if (DbError e = rows.Set(target[c], values[c]); !e.Ok()) {
                leaveOut(reader.Columns()[c].name, e);
                converted = false;
            }
        }
        if (!converted) continue;
        if (DbError e = rows.Update(); !e.Ok()) {
            leaveOut("", e);
            continue;
        }
        ++table.rowsWritten;
    }
    if (reader.RowsRead() < reader.CountedRows()) {
        result.damage = "the table " + sourceTable + " counts " +
                        std::to_string(reader.CountedRows()) + " rows, but only " +
                        std::to_string(reader.RowsRead()) + " could be read";
        return result;
    }
    result.written = true;
    return result;
}

}  // namespace

WindowsDatabaseKind RecogniseWindowsDatabase(const std::vector<std::string>& tables) {
    const bool playout = HasTable(tables, "Log");
    const bool users = HasTable(tables, "Users");
    if (playout == users) return WindowsDatabaseKind::Unknown;
    return playout ? WindowsDatabaseKind::Playout : WindowsDatabaseKind::Users;
}

WindowsImportReport ImportWindowsDatabase(UserInterface& ui, const std::string& source,
                                          const WindowsImportTarget& where) {
    WindowsImportReport report;
    report.source = source;
    auto refuse = [&report](WindowsImportOutcome outcome, std::string reason) {
        report.outcome = outcome;
        report.reason = std::move(reason);
        return report;
    };

    JetFile file;
    if (std::string problem = file.Open(source); !problem.empty())
        return refuse(WindowsImportOutcome::NotADatabase, problem);
    report.jetVersion = file.Version();
    report.kind = RecogniseWindowsDatabase(file.TableNames());
    if (report.kind == WindowsDatabaseKind::Unknown)
        return refuse(WindowsImportOutcome::NotADatabase,
                      "it is neither a playout database (a Log table) nor a users database (a "
                      "Users table)");

    const bool playout = report.kind == WindowsDatabaseKind::Playout;
    const std::string wanted =
        playout ? JoinPath(where.playoutDirectory, FileNameOf(source)) : where.usersDatabase;
    // An existing file is found whatever the letter case of its name.
    report.target = PathExists(wanted) ? ResolvePath(wanted) : wanted;
    const bool replacing = PathExists(report.target);
    if (replacing && !where.replace)
        return refuse(WindowsImportOutcome::Refused,
                      report.target + " already exists; it is replaced only when asked to "
                                      "(its old version is then kept as a backup)");

    const std::string directory = ParentDirectoryOf(report.target, false);
    const bool makeDirectory = !DirectoryExists(directory);
    if (makeDirectory && !CreateDirectoryPath(ui, directory, false))
        return refuse(WindowsImportOutcome::Failed, "the directory " + directory + " cannot be made");
    TemporaryFile temporary(TempFileName(ui, directory, "MDB"), makeDirectory ? directory : "");
    if (temporary.path().empty())
        return refuse(WindowsImportOutcome::Failed, "no temporary name in " + directory);

    {
        Database db;
        if (DbError e = db.Create(temporary.path(), Database::kGeneralSortOrder,
                                  playout ? FileAccess::Shared : FileAccess::Private); !e.Ok()) {
            ProblemReport(ui, "creating the new database", e);
            return refuse(WindowsImportOutcome::Failed, "the new database cannot be created");
        }
        Transaction transaction(db);
        if (!transaction.BeginError().Ok()) {
            ProblemReport(ui, "starting to copy the tables", transaction.BeginError());
            return refuse(WindowsImportOutcome::Failed, "the copy cannot be started");
        }
        for (const std::string& table : file.TableNames()) {
            const TableLayout* layout = LayoutFor(report.kind, table);
            if (!layout) {
                report.leftOut.push_back(std::string("table ") + table + " (not a table of a " +
                                         KindName(report.kind) + ")");
                continue;
            }
            CopyResult copied = CopyTable(ui, file, table, *layout, db, report);
            if (!copied.damage.empty())
                return refuse(WindowsImportOutcome::NotADatabase,
                              "it is damaged or truncated: " + copied.damage);
            if (!copied.written)
                return refuse(WindowsImportOutcome::Failed, "the table " + table +
                                                                " could not be written");
        }
        if (DbError e = transaction.Commit(); !e.Ok()) {
            ProblemReport(ui, "storing the copied tables", e);
            return refuse(WindowsImportOutcome::Failed, "the copied tables cannot be stored");
        }
    }

    // Brought up to date as an older database of ours is, before it takes its name, so that
    // a failure leaves nothing half done in place.
    std::string description = StripExtension(FileNameOf(report.target));
    const int32_t type = playout ? kKoraV26DatabaseType : 0;
    if (EnsureDatabaseFile(ui, temporary.path(), type, true, description,
                           playout ? FileAccess::Shared : FileAccess::Private) != 0 ||
        !(playout ? VerifyPlayoutDatabase(ui, temporary.path())
                  : VerifyUsersDatabase(ui, temporary.path()))
             .Ok())
        return refuse(WindowsImportOutcome::Failed, "the new database cannot be brought up to date");

    if (replacing) {
        report.backup = FreeBackupName(report.target);
        if (report.backup.empty()) {
            ProblemReport(ui, "keeping the old database " + report.target,
                          ErrorResult::Make(err::kFileAlreadyExists));
            return refuse(WindowsImportOutcome::Failed, "no free backup name");
        }
        if (DbError e = Database::RenameFile(report.target, report.backup); !e.Ok()) {
            ProblemReport(ui, "keeping the old database " + report.target, e);
            report.backup.clear();
            return refuse(WindowsImportOutcome::Failed, "the old database cannot be kept aside");
        }
    }
    if (DbError e = Database::RenameFile(temporary.path(), report.target); !e.Ok()) {
        ProblemReport(ui, "putting the new database in place as " + report.target, e);
        if (replacing) static_cast<void>(Database::RenameFile(report.backup, report.target));
        report.backup.clear();
        return refuse(WindowsImportOutcome::Failed, "the new database cannot take its name");
    }
    temporary.Keep();

    bool everything = report.leftOut.empty();
    for (const WindowsTableReport& table : report.tables)
        everything = everything && table.rowProblems.empty();
    report.outcome = everything ? WindowsImportOutcome::Complete : WindowsImportOutcome::PartlyCopied;
    return report;
}

std::string WindowsImportReport::Text() const {
    std::ostringstream out;
    out << "Windows database: " << source;
    if (jetVersion) out << " (Jet " << jetVersion << ", " << KindName(kind) << ")";
    out << "\n";
    switch (outcome) {
        case WindowsImportOutcome::NotADatabase:
            out << "Not imported: " << reason << ". Nothing was written.\n";
            return out.str();
        case WindowsImportOutcome::Refused:
        case WindowsImportOutcome::Failed:
            out << "Not imported: " << reason << ". Nothing was put in place.\n";
            return out.str();
        default:
            break;
    }
    out << "Written to: " << target << "\n";
    if (!backup.empty()) out << "The old database was kept as: " << backup << "\n";
    for (const WindowsTableReport& table : tables) {
        out << "Table " << table.table << ": " << table.rowsRead
            << (table.rowsRead == 1 ? " row read, " : " rows read, ") << table.rowsWritten
            << " written\n";
        for (const std::string& problem : table.rowProblems) out << "  left out " << problem << "\n";
    }
    for (const std::string& item : leftOut) out << "Left out: " << item << "\n";
    out << (outcome == WindowsImportOutcome::Complete ? "Everything came over.\n"
                                                      : "Some of it was left out (see above).\n");
    return out.str();
}

}  // namespace vantor

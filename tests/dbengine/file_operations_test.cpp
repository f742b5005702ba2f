// Deleting and renaming database files: never under a program that has the file open, and
// never leaving behind (or losing) the journal the engine keeps beside a file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "common/clock.h"
#include "common/files.h"
#include "common/report_file.h"
#include "common/viewer_file.h"
#include "dbengine/engine.h"
#include "support/held_open_elsewhere.h"
#include "support/temp_dir.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::FilesIn;
using testing::HeldOpenElsewhere;
using testing::TempDir;
namespace fs = std::filesystem;

void MakeDatabase(const std::string& path) {
    Database db;
    ASSERT_THAT(db.Create(path), Succeeded());
    ASSERT_THAT(db.Execute("CREATE TABLE Items (Name TEXT)"), Succeeded());
}

long long CountItems(const std::string& path) {
    Database db;
    EXPECT_THAT(db.Open(path), Succeeded());
    TableCursor rows;
    long long count = -1;
    EXPECT_THAT(db.OpenTable("Items", rows), Succeeded());
    EXPECT_THAT(rows.RecordCount(count), Succeeded());
    return count;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Even under the most permissive umask, what the program writes is not writable by every
// account: databases, their lock files, logs, reports, saved texts; and a copy of a private
// database is as private as the original.
TEST(DatabaseFileOperations, NothingWrittenIsWorldWritableWhateverTheUmask) {
    TempDir dir;
    const FixedClock clock{2024, 3, 15, 10, 30, 0};
    const mode_t old = umask(0);
    {
        Database db;
        EXPECT_THAT(db.Create(dir / "KORA26.MDB"), Succeeded());
        EXPECT_THAT(db.Execute("CREATE TABLE Items (Name TEXT)"), Succeeded());
        Database priv;
        EXPECT_THAT(
            priv.Create(dir / "USERS25.MDB", Database::kGeneralSortOrder, FileAccess::Private),
            Succeeded());
        EXPECT_THAT(priv.Execute("CREATE TABLE Items (Name TEXT)"), Succeeded());
        EXPECT_THAT(priv.CopyTo(dir / "USERS25.BAK"), Succeeded());
        AppendLogLine(dir / "error.log", true, "a line", clock);
        ReportFile report(dir / "report.log");
        report.Append(false, "a line", clock);
        EXPECT_EQ(SaveViewerText(dir / "saved.txt", "text\n"), 0);
    }
    umask(old);
    for (const char* name : {"KORA26.MDB", "KORA26.LDB", "USERS25.LDB", "error.log",
                             "report.log", "saved.txt"}) {
        EXPECT_EQ(ModeOf(dir / name) & S_IWOTH, 0U) << name;
    }
    EXPECT_EQ(ModeOf(dir / "USERS25.BAK") & 0077, 0U);
}

TEST(DatabaseFileOperations, RefusedWhileAnotherProcessHasTheFileOpen) {
    TempDir dir;
    std::string path = dir / "KORA26.MDB";
    MakeDatabase(path);
    {
        HeldOpenElsewhere other(path);
        ASSERT_TRUE(other.Opened());
        EXPECT_TRUE(Database::IsInUse(path));
        EXPECT_EQ(Database::DeleteFile(path).number, err::kFileAlreadyInUse);
        EXPECT_EQ(Database::RenameFile(path, dir / "OTHER.MDB").number, err::kFileAlreadyInUse);
        EXPECT_TRUE(fs::exists(path));
        EXPECT_TRUE(fs::exists(Database::LockFilePath(path)));
        EXPECT_FALSE(fs::exists(dir / "OTHER.MDB"));
    }
    EXPECT_FALSE(Database::IsInUse(path));
    DbError error = Database::DeleteFile(path);
    EXPECT_THAT(error, Succeeded()) << error.description;
    for (const char* left : {"KORA26.MDB", "KORA26.LDB", "KORA26.MDB-wal", "KORA26.MDB-shm"})
        EXPECT_FALSE(fs::exists(dir / left)) << left;
}

TEST(DatabaseFileOperations, RenameTakesAlongTheCommittedWorkOfACrashedProgram) {
    TempDir dir;
    std::string path = dir / "KORA26.MDB";
    MakeDatabase(path);
    // A program commits a row and dies before its journal is written back into the file.
    pid_t child = ::fork();
    if (child == 0) {
        Database db;
        bool ok = db.Open(path).Ok() &&
                  db.Execute("INSERT INTO Items (Name) VALUES (?)", {DbValue("kept")}).Ok();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(fs::exists(path + "-wal")) << "the committed row should still be in the journal";

    std::string renamed = dir / "STUDIO2.MDB";
    DbError error = Database::RenameFile(path, renamed);
    ASSERT_THAT(error, Succeeded()) << error.description;
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + "-wal"));
    EXPECT_FALSE(fs::exists(Database::LockFilePath(path)));
    EXPECT_EQ(CountItems(renamed), 1);
}


TEST(DatabaseFileOperations, AReadOnlyOpeningWritesNothingAndLeavesNothingBehind) {
    TempDir dir;
    const std::string path = dir / "KORA26.MDB";
    MakeDatabase(path);
    {
        Database db;
        ASSERT_THAT(db.Open(path), Succeeded());
        ASSERT_THAT(db.Execute("INSERT INTO Items (Name) VALUES (?)", {DbValue("first")}),
                    Succeeded());
    }
    // A file kept in the rollback journal's mode must not be switched to WAL (a header write).
    for (const char* mode : {"PRAGMA journal_mode=WAL", "PRAGMA journal_mode=DELETE"}) {
        SCOPED_TRACE(mode);
        {
            Database db;
            ASSERT_THAT(db.Open(path), Succeeded());
            static_cast<void>(db.Execute(mode));
        }
        fs::remove(Database::LockFilePath(path));
        const auto before = FilesIn(dir.path());
        {
            Database db;
            ASSERT_THAT(db.OpenReadOnly(path), Succeeded());
            TableCursor rows;
            long long count = -1;
            ASSERT_THAT(db.OpenTable("Items", rows), Succeeded());
            ASSERT_THAT(rows.RecordCount(count), Succeeded());
            EXPECT_EQ(count, 1);
            EXPECT_FALSE(db.Execute("INSERT INTO Items (Name) VALUES (?)", {DbValue("x")}).Ok());
            EXPECT_FALSE(rows.AddNew().Ok() && rows.Set("Name", DbValue("y")).Ok() &&
                         rows.Update().Ok());
            rows.CancelUpdate();
        }
        EXPECT_EQ(FilesIn(dir.path()), before);
        EXPECT_EQ(CountItems(path), 1);
    }
}

}  // namespace
}  // namespace vantor

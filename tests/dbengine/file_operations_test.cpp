// Deleting and renaming database files: never under a program that has the file open, and
// never leaving behind (or losing) the journal the engine keeps beside a file.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "dbengine/engine.h"
#include "support/held_open_elsewhere.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::FilesIn;
using testing::HeldOpenElsewhere;
using testing::TempDir;
namespace fs = std::filesystem;

void MakeDatabase(const std::string& path) {
    Database db;
    ASSERT_TRUE(db.Create(path).Ok());
    ASSERT_TRUE(db.Execute("CREATE TABLE Items (Name TEXT)").Ok());
}

long long CountItems(const std::string& path) {
    Database db;
    EXPECT_TRUE(db.Open(path).Ok());
    TableCursor rows;
    long long count = -1;
    EXPECT_TRUE(db.OpenTable("Items", rows).Ok());
    EXPECT_TRUE(rows.RecordCount(count).Ok());
    return count;
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
    EXPECT_TRUE(error.Ok()) << error.description;
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
    ASSERT_TRUE(error.Ok()) << error.description;
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
        ASSERT_TRUE(db.Open(path).Ok());
        ASSERT_TRUE(db.Execute("INSERT INTO Items (Name) VALUES (?)", {DbValue("first")}).Ok());
    }
    // A file kept in the rollback journal's mode must not be switched to WAL (a header write).
    for (const char* mode : {"PRAGMA journal_mode=WAL", "PRAGMA journal_mode=DELETE"}) {
        SCOPED_TRACE(mode);
        {
            Database db;
            ASSERT_TRUE(db.Open(path).Ok());
            static_cast<void>(db.Execute(mode));
        }
        fs::remove(Database::LockFilePath(path));
        const auto before = FilesIn(dir.path());
        {
            Database db;
            ASSERT_TRUE(db.OpenReadOnly(path).Ok());
            TableCursor rows;
            long long count = -1;
            ASSERT_TRUE(db.OpenTable("Items", rows).Ok());
            ASSERT_TRUE(rows.RecordCount(count).Ok());
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
